#!/bin/sh
# Usage: bench/headless_start.sh [BUILD]   (BUILD: the build folder, default build)
# What a script gets from the headless program: the start of --version, and
# --generate of ten groups of 100,000 links beside copying the page it
# writes with cp. Wall and CPU times from hyperfine, the peak memory and the
# page faults of one run from /usr/bin/time.
set -eu
build=${1:-build}
bin=$build/linkfold
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$build/bench/fresh_load_bench" --save-project 1000000 "$tmp/p.lfp"
"$bin" --generate "$tmp/p.lfp" "$tmp/page.htm"
ls -l "$tmp/p.lfp" "$tmp/page.htm"

hyperfine -N --warmup 5 --runs 50 "$bin --version"
hyperfine -N --warmup 2 --runs 15 \
  "$bin --generate $tmp/p.lfp $tmp/out.htm" \
  "cp $tmp/page.htm $tmp/copy.htm"
for command in "$bin --version" "$bin --generate $tmp/p.lfp $tmp/out.htm" \
               "cp $tmp/page.htm $tmp/copy.htm"; do
  echo "$command"
  # shellcheck disable=SC2086
  /usr/bin/time -f '  %e s wall, %U s user, %S s system, %M KiB peak, %R minor faults' $command
done
