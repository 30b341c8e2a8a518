#!/bin/sh
# Runs libFuzzer targets of build-fuzz/fuzz (make fuzz) one after another,
# each for SECONDS, then merges what each run found into its corpus under
# tests/data (only inputs that reach new edges; the files there are kept).
#   fuzz/run-all.sh SECONDS [TARGET...]     every target when none is named
# The executions of each run are printed; a crash, leak or timeout is saved
# as build-fuzz/fuzz-work/TARGET-crash-... and makes the script fail.
set -u
seconds=${1:-300}
[ $# -gt 0 ] && shift
bin=build-fuzz/fuzz
work=build-fuzz/fuzz-work
mkdir -p "$work"

corpus_of() {
    case $1 in
    fuzz_project) echo tests/data/corpus ;;
    fuzz_linktext) echo tests/data/linkcheck-corpus ;;
    fuzz_bookmarks_*) echo "tests/data/bookmarks-corpus/${1#fuzz_bookmarks_}" ;;
    *) echo "tests/data/${1#fuzz_}-corpus" ;;
    esac
}

targets=$*
if [ -z "$targets" ]; then
    targets=$(cd "$bin" && ls fuzz_* | grep -v '\.' | sort)
fi
limits="-rss_limit_mb=2560 -malloc_limit_mb=256 -timeout=25"
failed=0
for target in $targets; do
    corpus=$(corpus_of "$target")
    run="$work/$target"
    log="$work/$target.log"
    mkdir -p "$run" "$corpus"
    # shellcheck disable=SC2086
    "$bin/$target" $limits -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$work/$target-" "$run" "$corpus" >"$log" 2>&1
    status=$?
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    if [ $status -ne 0 ]; then
        echo "$target: FAILED after ${executions:-?} executions (see $log)"
        failed=1
        continue
    fi
    # shellcheck disable=SC2086
    # Inputs that reach new edges only (not new hit counts): a corpus that
    # stays small enough to keep in the repository.
    "$bin/$target" $limits -merge=1 -use_counters=0 "$corpus" "$run" >>"$log" 2>&1
    echo "$target: ${executions:-?} executions in ${seconds} s, corpus $(ls "$corpus" | wc -l) files"
done
exit $failed
