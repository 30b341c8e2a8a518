#!/usr/bin/env bash
# The link checker beside two other checkers, in one run, on the same links
# served by `linkcheck_bench --serve` on loopback addresses (127.0.0.11 and
# up). Each checker runs with its own defaults under /usr/bin/time; the
# table goes to standard output.
#
#   bench/linkcheck_peers.sh BUILD_DIR [CASE...]
#
# Cases: hosts20 (2,000 links over 20 fast hosts), host1 (2,000 links on one
# host), slow (10,000 links over 20 hosts, 5 of them answering after
# 200 ms). Peers: Debian's `linkchecker` (skipped when not installed) and
# npm's `linkinator`, installed on demand into $LINKINATOR_DIR (default
# /tmp/linkfold-bench-linkinator), never into the project. CHECKERS names
# the checkers to run (default "linkfold linkinator linkchecker"); JOBS, when
# set, is handed to linkfold as its limit of requests at once.
set -euo pipefail

build=${1:?usage: linkcheck_peers.sh BUILD_DIR [CASE...]}
shift
cases=("$@")
[ ${#cases[@]} -gt 0 ] || cases=(hosts20 host1 slow)
bench="$build/linkcheck/linkcheck_bench"
[ -x "$bench" ] || bench="$build/bench/linkcheck_bench"
[ -x "$bench" ] || { echo "no linkcheck_bench under $build" >&2; exit 1; }

linkinator_dir=${LINKINATOR_DIR:-/tmp/linkfold-bench-linkinator}
linkinator="$linkinator_dir/node_modules/.bin/linkinator"
if [ ! -x "$linkinator" ] && command -v npm >/dev/null; then
  mkdir -p "$linkinator_dir"
  npm install --prefix "$linkinator_dir" --no-audit --no-fund --silent linkinator >/dev/null
fi
checkers=${CHECKERS:-linkfold linkinator linkchecker}
wanted() { [[ " $checkers " == *" $1 "* ]]; }
have_linkinator=0
[ -x "$linkinator" ] && wanted linkinator && have_linkinator=1
have_linkchecker=0
command -v linkchecker >/dev/null && wanted linkchecker && have_linkchecker=1

work=$(mktemp -d)
server_pid=
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# timed NAME COMMAND...: one row "case checker wall cpu rss result".
timed() {
  local name=$1
  shift
  local out="$work/$name.out"
  /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" >"$out" 2>"$work/$name.err" || true
  read -r wall user sys rss <"$work/time"
  local cpu
  cpu=$(echo "$user + $sys" | bc)
  printf '%-8s %-12s %8s s %8s s %7s MB  %s\n' "$case" "$name" "$wall" "$cpu" \
    "$((rss / 1024))" "$(result "$name")"
}

result() {
  case $1 in
    linkfold) tail -n 1 "$work/linkfold.err" ;;
    linkinator) echo "$(grep -c ',200,' "$work/linkinator.out" || true) answered 200" ;;
    linkchecker) grep -E 'links? in .* checked|errors? found' "$work/linkchecker.out" | tr '\n' ' ' ;;
  esac
}

printf '%-8s %-12s %10s %10s %10s  %s\n' case checker wall cpu 'peak RSS' result
for case in "${cases[@]}"; do
  case $case in
    hosts20) args=(20 2000 0) ;;
    host1) args=(1 2000 0) ;;
    slow) args=(20 10000 5) ;;
    *) echo "unknown case $case" >&2; exit 2 ;;
  esac
  "$bench" --serve 3600 "${args[@]}" "$work/urls.txt" >"$work/page" 2>"$work/server.err" &
  server_pid=$!
  for _ in $(seq 100); do [ -s "$work/page" ] && break; sleep 0.1; done
  page=$(head -n 1 "$work/page")
  if wanted linkfold; then timed linkfold "$bench" --check "$work/urls.txt" ${JOBS:-}; fi
  if [ $have_linkinator = 1 ]; then timed linkinator "$linkinator" "$page" --format csv; fi
  if [ $have_linkchecker = 1 ]; then
    timed linkchecker linkchecker --check-extern -r1 --no-status --no-warnings "$page"
  fi
  kill "$server_pid"
  wait "$server_pid" 2>/dev/null || true
  server_pid=
  rm -f "$work/page"
done
