#!/bin/sh
# Lists the functions of MIN lines or more (signature to closing brace),
# longest first, so that long ones can be found and split into named steps.
# Usage: scripts/long-functions.sh [FOLDER ...]
#   (default: app gui route terrain tools fuzz; MIN=80 unless set in the
#   environment). Exits with 1 when it lists any. Needs universal-ctags.
# Pure tables (a switch that only maps values) may stay longer; they are
# listed too, to be read.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
MIN=${MIN:-80}
command -v ctags >/dev/null || { echo "long-functions.sh: ctags (universal-ctags) is missing" >&2; exit 2; }
cd "$ROOT" || exit 2
[ $# -gt 0 ] || set -- app gui route terrain tools fuzz
find "$@" \( -name '*.cpp' -o -name '*.h' \) -not -path 'gui/alfont/*' -print0 |
    xargs -0 ctags --c++-kinds=f --fields=+ne -o - |
    awk -F'\t' -v min="$MIN" '
        {
            start = ""; end = ""
            for (i = 4; i <= NF; i++) {
                if ($i ~ /^line:/) start = substr($i, 6)
                if ($i ~ /^end:/) end = substr($i, 5)
            }
            if (start != "" && end != "" && end - start + 1 >= min)
                printf "%5d  %s:%s  %s\n", end - start + 1, $2, start, $1
        }' |
    sort -rn | awk '{ print } END { exit NR > 0 }'
