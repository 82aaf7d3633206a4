#!/bin/bash
# The designer's code page under Xvfb, driven by xdotool: Ctrl+E shows the
# PascalScript of the template in colour (a comment and a string in navy, a
# number in green, a keyword in bold text colour), F5 puts a breakpoint on
# the caret's line that the gutter draws as a red disc, and Ctrl+Space after
# "Memo1." lists the memo's members; a node dragged from the data tree is
# dropped where the mouse lets go. zddesign --dump-code keeps a state file
# up to date (tab, editor rectangle, cells, caret, breakpoints, completion
# list); the script waits on that file instead of sleeping.
# Usage: code_session.sh ZDDESIGN TEMPLATE PIXEL_COUNTS. Exit 77 (skipped)
# without the tools.
set -u
ZDDESIGN=$1
TEMPLATE=$2
PIXELS=$3
for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || { echo "no $tool"; exit 77; }
done
/usr/bin/python3 -c 'import PIL' 2>/dev/null || { echo "no python3 PIL"; exit 77; }
work=$(mktemp -d)
app=
xvfb=
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    [ -n "${KEEP_WORK:-}" ] && echo "kept $work" || rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    [ -f "$work/state.txt" ] && sed 's/^/  state: /' "$work/state.txt"
    exit 1
}

cp "$TEMPLATE" "$work/script.zd3"
display=
for n in $(seq 161 230); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
done
[ -n "$display" ] || exit 77
Xvfb ":$display" -screen 0 1920x1200x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$display" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

"$ZDDESIGN" --gui --dump-geometry "$work/geom.txt" --dump-code "$work/state.txt" "$work/script.zd3" &
app=$!

# Waits up to 10 s for a line of the state file matching an extended regex.
wait_state() {
    for _ in $(seq 100); do
        grep -Eq "$1" "$work/state.txt" 2>/dev/null && return 0
        kill -0 "$app" 2>/dev/null || fail "zddesign ended"
        sleep 0.1
    done
    fail "waited in vain for: $1"
}
field() { awk -v k="$1" -v n="$2" '$1 == k { print $n; exit }' "$work/state.txt"; }

wait_state '^tab [0-9]+$'
for _ in $(seq 100); do [ -s "$work/geom.txt" ] && break; sleep 0.1; done
read -r sx sy sw sh < <(awk '$1 == "StatusBar" { print $2, $3, $4, $5 }' "$work/geom.txt")
[ -n "${sx:-}" ] || fail "no status bar in the geometry"
# A click on the status bar gives the window the keyboard.
xdotool mousemove $((sx + sw / 2)) $((sy + sh / 2)) click 1

xdotool key ctrl+e
wait_state '^tab 0$'
wait_state '^codewindow '
read -r cx cy cw ch < <(awk '$1 == "codewindow" { print $2, $3, $4, $5 }' "$work/state.txt")
cellw=$(field cells 2)
cellh=$(field cells 3)
gutter=$(field cells 5)
[ "$(field cells 7)" = 0 ] && [ "$(field cells 9)" = 0 ] || fail "the editor is scrolled"

# The screen rectangle of COUNT cells from COLUMN of LINE (both 1-based).
cells() { echo $((cx + gutter + ($2 - 1) * cellw)) $((cy + ($1 - 1) * cellh)) $(($3 * cellw)) "$cellh"; }
counts() { /usr/bin/python3 "$PIXELS" "$work/$1" $2; }
count_of() { awk -v k="$1" '{ for (i = 1; i < NF; i += 2) if ($i == k) print $(i + 1) }' <<<"$2"; }
shot() {
    # A paint may still be pending after the state changed.
    sleep 0.3
    import -window root "$work/$1" || fail "no screenshot"
}

# The script: 1 "// barvy", 2 "var ends: Integer;", 3 "begin",
# 4 "  ends := 42;", 5 "  Memo1.Text := 'abc';", 6 "end."
shot colours.png
comment=$(counts colours.png "$(cells 1 1 8)")
number=$(counts colours.png "$(cells 4 11 2)")
string=$(counts colours.png "$(cells 5 17 5)")
plain=$(counts colours.png "$(cells 4 3 3)")
keyword=$(counts colours.png "$(cells 6 1 3)")
echo "comment: $comment / number: $number / string: $string / plain end: $plain / keyword end: $keyword"
[ "$(count_of bluish "$comment")" -gt 5 ] || fail "the comment is not navy"
[ "$(count_of greenish "$number")" -gt 5 ] || fail "the number is not green"
[ "$(count_of bluish "$string")" -gt 5 ] || fail "the string is not navy"
for c in "$plain" "$keyword"; do
    [ "$(count_of bluish "$c")" -eq 0 ] && [ "$(count_of greenish "$c")" -eq 0 ] ||
        fail "an identifier or keyword is not in the text colour"
done
pdark=$(count_of dark "$plain")
kdark=$(count_of dark "$keyword")
[ "$pdark" -gt 5 ] || fail "the identifier is not drawn"
# The same letters, bold as a keyword: clearly more ink.
[ $((kdark * 100)) -gt $((pdark * 115)) ] || fail "the keyword end is not bold ($kdark vs $pdark dark pixels)"

# F5 on line 4: a breakpoint drawn as a red disc in the gutter.
read -r gx gy _ _ < <(cells 4 5 1)
gutter_rect="$cx $gy $gutter $cellh"
[ "$(count_of red "$(counts colours.png "$gutter_rect")")" -eq 0 ] || fail "a breakpoint before F5"
xdotool mousemove $((gx + cellw / 2)) $((gy + cellh / 2)) click 1
wait_state '^caret 5 4$'
xdotool key F5
wait_state '^breakpoints 4$'
shot breakpoint.png
red=$(count_of red "$(counts breakpoint.png "$gutter_rect")")
echo "breakpoint: $red red pixels"
[ "$red" -gt 40 ] || fail "no red disc in the gutter of line 4"

# "Memo1." on a new line below line 5, then Ctrl+Space.
read -r lx ly _ _ < <(cells 5 30 1)
xdotool mousemove $((lx + 2)) $((ly + cellh / 2)) click 1
wait_state '^caret 30 5$'
xdotool key End Return
wait_state '^caret 3 6$'
xdotool type --delay 50 'Memo1.'
wait_state '^caret 9 6$'
xdotool key ctrl+space
wait_state '^completion shown'
wait_state '^item Text: String$'
wait_state '^item Font:'
read -r px py pw ph < <(awk '$1 == "completion" { print $3, $4, $5, $6 }' "$work/state.txt")
shot completion.png
popup=$(counts completion.png "$px $py $pw $ph")
echo "completion list: $popup"
# The kind word "property" is written in blue.
[ "$(count_of bluish "$popup")" -gt 20 ] || fail "the completion list is not drawn"

# Escape closes the list; the text typed so far stays.
xdotool key Escape
wait_state '^completion hidden$'
wait_state '^caret 9 6$'

# A system variable dragged from the data tree lands where the mouse lets
# go: after "begin" on line 3.
wait_state '^datatree '
read -r tx ty tw th < <(awk '$1 == "datatab" && $2 == 1 { print $3, $4, $5, $6 }' "$work/state.txt")
[ -n "${tx:-}" ] || fail "no variables tab in the data tree"
xdotool mousemove $((tx + tw / 2)) $((ty + th / 2)) click 1
wait_state '^datatree 1$'
wait_state '^node [0-9 -]+ Date$'
read -r nx ny nw nh < <(awk '$1 == "node" && $6 == "Date" && NF == 6 { print $2, $3, $4, $5; exit }' "$work/state.txt")
read -r dx dy _ _ < <(cells 3 6 1)
xdotool mousemove $((nx + 8)) $((ny + nh / 2)) mousedown 1
for _ in $(seq 6); do xdotool mousemove_relative 6 0; sleep 0.05; done
for i in 1 2 3; do xdotool mousemove $((dx + 1 + i)) $((dy + cellh / 2)); sleep 0.15; done
xdotool mouseup 1
wait_state '^line 3 begin<Date>$'
echo "dropped: $(grep '^line 3 ' "$work/state.txt")"

kill "$app" 2>/dev/null
wait "$app" 2>/dev/null
app=
echo "ok"
