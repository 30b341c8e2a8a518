#!/bin/sh
# Usage: headless_libraries.sh LINKFOLD PROJECT
# The program loads only the libraries a verb needs: --version, --help and
# --generate start with the C++ runtime alone (no Qt, no libxml2 or ICU, no
# SQLite, no libplist); the bookmark verbs and the duplicate list load the
# bookmark library, and the link check the editor library, Qt and libcurl
# with it, from beside the program.
set -eu
bin=$1
project=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "headless_libraries: $*" >&2; exit 1; }
# LD_DEBUG=libs names each library as it is loaded ("calling init: PATH").
loads() { printf '%s\n' "$1" | grep 'calling init:' | grep -q -- "$2"; }
large='libQt\|libxml2\|libicu\|libsqlite3\|libplist\|linkfold-'

for verb in --version --help; do
  loaded=$(LD_DEBUG=libs "$bin" "$verb" 2>&1 >/dev/null)
  ! loads "$loaded" "$large" || fail "$verb loads $(printf '%s\n' "$loaded" | grep 'calling init:' | grep -o -- "$large" | head -1)"
done
loaded=$(LD_DEBUG=libs "$bin" --generate "$project" "$tmp/page.htm" 2>&1)
! loads "$loaded" "$large" || fail "--generate loads more than the C++ runtime"
[ -s "$tmp/page.htm" ] || fail "--generate wrote no page"

loaded=$(LD_DEBUG=libs "$bin" --duplicates "$project" 2>&1) || fail "--duplicates failed: $loaded"
loads "$loaded" 'linkfold-bookmarks.so' || fail "--duplicates without the bookmark library"
! loads "$loaded" 'libQt' || fail "--duplicates loads Qt"
loaded=$(LD_DEBUG=libs "$bin" --export-bookmarks "$project" "$tmp/out.xbel" 2>&1) ||
  fail "--export-bookmarks failed: $loaded"
loads "$loaded" 'linkfold-bookmarks.so' || fail "--export-bookmarks without the bookmark library"
! loads "$loaded" 'libQt' || fail "--export-bookmarks loads Qt"
loaded=$(LD_DEBUG=libs "$bin" --import-bookmarks "$tmp/out.xbel" "$tmp/in.lfp" 2>&1) ||
  fail "--import-bookmarks failed: $loaded"
loads "$loaded" 'libxml2' || fail "--import-bookmarks without libxml2"
! loads "$loaded" 'libQt' || fail "--import-bookmarks loads Qt"

loaded=$(LD_DEBUG=libs "$bin" --check-links "$project" 2>&1) || fail "--check-links failed: $loaded"
loads "$loaded" 'linkfold-editor.so' || fail "--check-links without the editor library"
loads "$loaded" 'libcurl' || fail "--check-links without libcurl"
