#!/bin/sh
# debian-changelog.sh CHANGELOG.md PACKAGE MAINTAINER OUTPUT: writes the
# package's changelog in Debian's format to OUTPUT, made from the project's
# CHANGELOG.md. Every heading `## VERSION (YYYY-MM-DD HH:MM UTC)` starts an
# entry; its `- ` items become the entry's `*` items, their continuation
# lines (indented by two spaces) follow them; everything else is left out.
set -eu
[ $# -eq 4 ] || { echo "usage: debian-changelog.sh CHANGELOG.md PACKAGE MAINTAINER OUTPUT" >&2; exit 2; }

awk -v package="$2" -v maintainer="$3" '
function close_entry() {
    if (!open)
        return
    printf "\n -- %s  %s\n", maintainer, date
    open = 0
}
/^## / {
    close_entry()
    if (!match($0, /\(.*\)/)) {
        printf "%s:%d: a release heading without its date: %s\n", FILENAME, NR, $0 > "/dev/stderr"
        exit 1
    }
    stamp = substr($0, RSTART + 1, RLENGTH - 2)
    command = "date -u -R -d \"" stamp "\""
    date = ""
    command | getline date
    close(command)
    if (date == "") {
        printf "%s:%d: not a date: %s\n", FILENAME, NR, stamp > "/dev/stderr"
        exit 1
    }
    if (entries++)
        print ""
    printf "%s (%s) unstable; urgency=medium\n\n", package, $2
    open = 1
    next
}
open && /^- / { print "  * " substr($0, 3); next }
open && /^  [^ ]/ { print "    " substr($0, 3); next }
END { close_entry() }
' "$1" >"$4.new"
mv -f "$4.new" "$4"
