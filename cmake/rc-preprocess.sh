#!/bin/bash
# rc-preprocess.sh - the resource scripts' preprocessor: the C preprocessor
# named by the argument --cc=<compiler> (windres puts its own arguments
# before and after those it is given), run with the others, then every TOOLBAR
# statement rewritten as the bytes the Microsoft resource compiler makes of
# it (type 241: WORD version 1, button width, height, item count, one WORD
# command id per item, 0 for a separator), the layout CToolBar::LoadToolBar
# reads. windres parses TOOLBAR too, but stores it in a layout of its own.
# Lines are kept one for one, so windres's line numbers stay right.
set -o pipefail
cc=
args=()
for arg in "$@"; do
    case $arg in
    --cc=*) cc=${arg#--cc=} ;;
    *) args+=("$arg") ;;
    esac
done
[ -n "$cc" ] || { echo "rc-preprocess.sh: no --cc=<compiler> given" >&2; exit 2; }
"$cc" "${args[@]}" | awk '
function flush(    i) {
    print name " 241"
    for (i = 1; i <= nlines; ++i) {
        if (i == beginline)
            print "BEGIN 1, " size ", " nitems
        else
            print lines[i]
    }
    intoolbar = 0
}
BEGIN { intoolbar = 0 }
!intoolbar && tolower($2) == "toolbar" && $1 !~ /^"/ && ($3 == "" || $3 ~ /^[0-9(A-Za-z]/) {
    intoolbar = 1; name = $1; nlines = 0; nitems = 0; beginline = 0
    size = $0
    sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+/, "", size)
    # Memory flags, which the resource compiler accepts and ignores.
    gsub(/(^|[ \t])(DISCARDABLE|MOVEABLE|FIXED|PURE|IMPURE|PRELOAD|LOADONCALL)([ \t]|$)/, " ", size)
    gsub(/^[ \t]+|[ \t]+$/, "", size)
    next
}
intoolbar {
    word = tolower($1)
    if (!beginline && (word == "begin" || word == "{")) {
        lines[++nlines] = ""; beginline = nlines; next
    }
    if (word == "button") {
        item = $0
        sub(/^[ \t]*[^ \t]+[ \t]*/, "", item)
        lines[++nlines] = ", " item; ++nitems; next
    }
    if (word == "separator") {
        lines[++nlines] = ", 0"; ++nitems; next
    }
    if (word == "end" || word == "}") {
        lines[++nlines] = "END"; flush(); next
    }
    lines[++nlines] = $0
    next
}
{ print }
END { if (intoolbar) flush() }
'
