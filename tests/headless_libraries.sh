#!/bin/sh
# Usage: headless_libraries.sh LINKFOLD PROJECT
# The headless verbs of the program start without Qt; the link check loads
# the editor library, and Qt and libcurl with it, from beside the program.
set -eu
bin=$1
project=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "headless_libraries: $*" >&2; exit 1; }

for verb in --version --help; do
  loaded=$(LD_DEBUG=libs "$bin" "$verb" 2>&1 >/dev/null)
  ! printf '%s\n' "$loaded" | grep -q 'libQt' || fail "$verb loads Qt"
done
loaded=$(LD_DEBUG=libs "$bin" --generate "$project" "$tmp/page.htm" 2>&1)
! printf '%s\n' "$loaded" | grep -q 'libQt' || fail "--generate loads Qt"
[ -s "$tmp/page.htm" ] || fail "--generate wrote no page"
loaded=$(LD_DEBUG=libs "$bin" --duplicates "$project" 2>&1)
! printf '%s\n' "$loaded" | grep -q 'libQt' || fail "--duplicates loads Qt"
loaded=$(LD_DEBUG=libs "$bin" --check-links "$project" 2>&1) || fail "--check-links failed: $loaded"
printf '%s\n' "$loaded" | grep -q 'linkfold-editor.so' || fail "--check-links without the editor library"
printf '%s\n' "$loaded" | grep -q 'libcurl' || fail "--check-links without libcurl"
