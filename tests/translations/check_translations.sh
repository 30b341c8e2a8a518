#!/bin/sh
# The translation files are complete: lupdate over the sources changes
# nothing in them (no string was missed or left behind), and no message is
# unfinished.
#   check_translations.sh LUPDATE SOURCE_DIR TS_FILE...
# LF_LUPDATE_OPTIONS and LF_TR_SOURCE_DIRS are translations/CMakeLists.txt's.
set -eu
lupdate=$1
src=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for ts in "$@"; do
    copy="$work/$(basename "$ts")"
    cp "$ts" "$copy"
    # shellcheck disable=SC2086
    (cd "$src" && "$lupdate" $LF_LUPDATE_OPTIONS $LF_TR_SOURCE_DIRS -ts "$copy") >"$work/log" 2>&1 || {
        cat "$work/log"
        exit 1
    }
    if ! cmp -s "$ts" "$copy"; then
        echo "$ts is not up to date with the sources; build the target update_translations"
        diff -u "$ts" "$copy" | head -60
        status=1
    fi
    unfinished=$(grep -c 'type="unfinished"' "$ts" || true)
    if [ "$unfinished" -ne 0 ]; then
        echo "$ts has $unfinished unfinished messages:"
        grep -B3 'type="unfinished"' "$ts" | grep '<source>' | head -20
        status=1
    fi
done
[ $status -eq 0 ] && echo "translations complete: $*"
exit $status
