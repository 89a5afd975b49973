# Shared helpers of the script tests: ok/FAIL bookkeeping, a private
# temporary folder and waiting for lines of a log file.
#
#     . "$VASKUR_SOURCE_DIR/tests/support/checks.sh"
#     work_dir
#     ... fail "what went wrong" ...
#     finish "all checks passed"
#
# State it keeps:
#     WORK   the private temporary folder of work_dir
#     LOG    the log file expect and count read (set it yourself)
#     FAILS  failed checks so far

WORK=""
LOG="${LOG:-}"
FAILS=0

# work_dir: makes $WORK and removes it at exit.
work_dir() {
    [ -n "$WORK" ] || WORK=$(mktemp -d)
    trap 'rm -rf "$WORK"' EXIT
}

# finish MESSAGE: exits 1 when a check failed, else prints MESSAGE.
finish() {
    [ "$FAILS" -eq 0 ] || { echo "$FAILS failure(s)"; exit 1; }
    echo "$1"
}

ok() { echo "ok: $*"; }
fail() { echo "FAIL: $*"; FAILS=$((FAILS + 1)); }

# wait_line PATTERN FILE [TENTHS]: waits (default 10 s) for a line of FILE
# matching the grep pattern; 1 when none came.
wait_line() {
    _n=0
    until grep -q -- "$1" "$2" 2>/dev/null; do
        _n=$((_n + 1)); [ $_n -gt "${3:-100}" ] && return 1
        sleep 0.1
    done
    return 0
}

# expect PATTERN DESCRIPTION: waits up to 3 s for a line of $LOG.
expect() {
    if wait_line "$1" "$LOG" 30; then
        ok "$2"
    else
        fail "$2 (no line matching '$1')"
        return 1
    fi
}

# count PATTERN: how many lines of $LOG match.
count() { grep -c -- "$1" "$LOG"; }

# expect_count PATTERN N DESCRIPTION: N lines of $LOG match, and no more come.
expect_count() {
    _n=0
    while [ "$(count "$1")" -lt "$2" ] && [ $_n -lt 30 ]; do
        _n=$((_n + 1)); sleep 0.1
    done
    sleep 0.5
    _c=$(count "$1")
    if [ "$_c" -eq "$2" ]; then ok "$3"; else fail "$3 ($_c lines matching '$1', wanted $2)"; fi
}

# check_help TOOL: `TOOL --help` exits 0 and gives every option of its usage
# line a line of its own, and ends with two examples of TOOL.
check_help() {
    _name=$(basename "$1")
    "$1" --help > "$WORK/help" 2>&1 || { fail "$_name --help exited $?"; return; }
    for _opt in $(head -1 "$WORK/help" | grep -o -- '[[ |]-[-a-z]*[a-z]' | cut -c2- | sort -u); do
        grep -q -- "^  $_opt[ ,]" "$WORK/help" || grep -q -- "^  -[a-z], $_opt " "$WORK/help" \
            || fail "$_name --help has no line for $_opt"
    done
    [ "$(sed -n '/^Examples:/,$p' "$WORK/help" | grep -c "^  $_name ")" -eq 2 ] \
        || fail "$_name --help does not end with two examples"
}
