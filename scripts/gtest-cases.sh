#!/usr/bin/env bash
# The test cases behind ctest's programs, from GoogleTest's XML reports, so
# that a skipped case shows as skipped (with its reason) and never as
# passed, while a program's other cases still count:
#
#   gtest-cases.sh run RESULTS_DIR PROGRAM [ARGUMENTS...]
#       runs a native GoogleTest program with its report in
#       RESULTS_DIR/<program>.xml and ends as `verdict` says
#   gtest-cases.sh verdict REPORT.xml STATUS
#       the exit code for ctest: STATUS itself, except 77 (ctest's
#       SKIP_RETURN_CODE) when the program passed only because every case
#       it ran was skipped.  A failure always keeps its own status.
#   gtest-cases.sh summary REPORT.xml...
#       one line of counts (passed, skipped, failed cases), then one line
#       per skipped or failed case: the case, its program and the reason.
#
# A case counts as failed when it has any failure, even if it also skipped
# afterwards; as skipped when it skipped without a failure; else as passed.
set -u

# Reads reports; prints "P S F" then "skipped|failed<TAB>case<TAB>program<TAB>reason".
cases_of() {
    awk '
    function attribute(line, name,   found) {
        if (match(line, " " name "=\"[^\"]*\"") == 0)
            return ""
        found = substr(line, RSTART + length(name) + 3, RLENGTH - length(name) - 4)
        return found
    }
    function unescape(text) {
        gsub(/&#x0A;/, " ", text); gsub(/&#x0D;/, "", text)
        gsub(/&quot;/, "\"", text); gsub(/&apos;/, "\047", text)
        gsub(/&lt;/, "<", text); gsub(/&gt;/, ">", text); gsub(/&amp;/, "\\&", text)
        return text
    }
    function flush() {
        if (current == "")
            return
        if (failed) {
            failures++
            print "failed\t" current "\t" program "\t" failure
        } else if (skipped) {
            skips++
            print "skipped\t" current "\t" program "\t" (reason == "" ? "(no reason given)" : reason)
        } else if (ran) {
            passes++
        }
        current = ""
    }
    FNR == 1 {
        flush()
        program = FILENAME
        sub(/.*\//, "", program)
        sub(/\.xml$/, "", program)
    }
    /<testcase / {
        flush()
        current = attribute($0, "classname") "." attribute($0, "name")
        ran = attribute($0, "status") == "run"
        skipped = attribute($0, "result") == "skipped"
        failed = 0; reason = ""; failure = ""
        if ($0 ~ /\/>[ \t]*$/)
            flush()
        next
    }
    /<failure / && current != "" {
        if (!failed)
            failure = unescape(attribute($0, "message"))
        failed = 1
    }
    /<skipped / && current != "" {
        skipped = 1
        reason = unescape(attribute($0, "message"))
        sub(/^[^ ]*:[0-9]+ ?/, "", reason)      # the file:line in front
    }
    /<\/testcase>/ { flush() }
    END {
        flush()
        print (passes + 0) " " (skips + 0) " " (failures + 0) > "/dev/stderr"
    }' "$@"
}

case "${1:-}" in
run)
    results=$2 program=$3
    shift 3
    mkdir -p "$results"
    report=$results/$(basename "$program").xml
    rm -f "$report"
    "$program" --gtest_output="xml:$report" "$@"
    exec "$0" verdict "$report" $?
    ;;
verdict)
    report=$2 status=$3
    if [ "$status" -eq 0 ] && [ -s "$report" ]; then
        counts=$(cases_of "$report" 2>&1 >/dev/null)
        read -r passed skipped failed <<<"$counts"
        if [ "$skipped" -gt 0 ] && [ "$passed" -eq 0 ] && [ "$failed" -eq 0 ]; then
            exit 77
        fi
    fi
    exit "$status"
    ;;
summary)
    shift
    [ $# -gt 0 ] || { echo "  no test reports"; exit 0; }
    listing=$(cases_of "$@" 2>"${TMPDIR:-/tmp}/gtest-cases.$$")
    read -r passed skipped failed < "${TMPDIR:-/tmp}/gtest-cases.$$"
    rm -f "${TMPDIR:-/tmp}/gtest-cases.$$"
    echo "  cases: $passed passed, $skipped skipped, $failed failed ($# programs)"
    [ -z "$listing" ] ||
        printf '%s\n' "$listing" | awk -F'\t' '{ printf "  %s: %s (%s): %s\n", $1, $2, $3, $4 }'
    ;;
*)
    echo "usage: $0 run RESULTS_DIR PROGRAM [ARGS...] | verdict REPORT STATUS | summary REPORT..." >&2
    exit 2
    ;;
esac
