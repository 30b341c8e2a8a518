#!/bin/sh
# Usage: bench/headless_start.sh [BUILD]   (BUILD: the build folder, default build)
# What a script gets from the headless program: the start of --version and
# --help beside /bin/true and a C++ program that only prints a line (built
# here with the build's compiler and flags: the floor of any C++ program on
# this machine), and --generate of ten groups of 100,000 links beside
# copying the page it writes with cp. Wall and CPU times from hyperfine, the
# peak memory and the page faults of one run from /usr/bin/time. The page
# writing alone: core_bench --benchmark_filter=BM_WritePage/1000000.
set -eu
build=${1:-build}
bin=$build/linkfold
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$build/bench/fresh_load_bench" --save-project 1000000 "$tmp/p.lfp"
"$bin" --generate "$tmp/p.lfp" "$tmp/page.htm"
ls -l "$tmp/p.lfp" "$tmp/page.htm"

cxx=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$build/CMakeCache.txt")
flags=$(sed -n 's/^CMAKE_CXX_FLAGS_RELWITHDEBINFO:[A-Z]*=//p' "$build/CMakeCache.txt")
printf '#include <iostream>\nint main() { std::cout << "Linkfold\\n"; }\n' >"$tmp/hello.cpp"
# shellcheck disable=SC2086
"${cxx:-c++}" -std=c++20 $flags -Wl,-z,relro,-z,now -o "$tmp/hello" "$tmp/hello.cpp"

hyperfine -N --warmup 20 --runs 200 /bin/true "$tmp/hello" "$bin --version" "$bin --help"
hyperfine -N --warmup 2 --runs 15 \
  "$bin --generate $tmp/p.lfp $tmp/out.htm" \
  "cp $tmp/page.htm $tmp/copy.htm"
for command in /bin/true "$tmp/hello" "$bin --version" "$bin --generate $tmp/p.lfp $tmp/out.htm" \
               "cp $tmp/page.htm $tmp/copy.htm"; do
  echo "$command"
  # shellcheck disable=SC2086
  /usr/bin/time -f '  %e s wall, %U s user, %S s system, %M KiB peak, %R minor faults' $command
done
