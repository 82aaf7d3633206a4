#!/bin/bash
# The designer window under Xvfb, driven by xdotool through the rectangles
# zddesign --gui --dump-geometry writes: the band menu inserts a report
# title, the barcode category inserts a barcode on the workspace, Ctrl+S
# saves and Alt+X closes. The screenshot's workspace must hold a barcode
# zbarimg decodes, and the saved template must hold both objects.
# Usage: gui_session.sh ZDDESIGN TEMPLATE. Exit 77 (skipped) without the tools.
set -u
ZDDESIGN=$1
TEMPLATE=$2
for tool in Xvfb xdotool zbarimg import convert; do
    command -v "$tool" >/dev/null || { echo "no $tool"; exit 77; }
done
work=$(mktemp -d)
app=
xvfb=
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    [ -n "${KEEP_WORK:-}" ] && echo "kept $work" || rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

cp "$TEMPLATE" "$work/label.zd3"
display=
for n in $(seq 91 160); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
done
[ -n "$display" ] || exit 77
Xvfb ":$display" -screen 0 1280x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$display" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

"$ZDDESIGN" --gui --dump-geometry "$work/geom.txt" "$work/label.zd3" &
app=$!
for _ in $(seq 100); do [ -s "$work/geom.txt" ] && break; sleep 0.2; done
[ -s "$work/geom.txt" ] || fail "no geometry written"
sleep 0.5

rect() { awk -v n="$1" '$1 == n { print $2, $3, $4, $5; found = 1; exit } END { exit !found }' "$work/geom.txt"; }
click() {
    local x y w h
    read -r x y w h < <(rect "$1") || fail "no widget $1"
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
    sleep 0.4
}

click BandsB
xdotool key Down Return
sleep 0.5
click Cat_Barcode
xdotool key Down Return
sleep 0.5
read -r wx wy ww wh < <(rect Workspace) || fail "no workspace"
# A dragged rectangle gives the barcode room for its bars.
xdotool mousemove $((wx + 20)) $((wy + 60)) sleep 0.2 mousedown 1 sleep 0.2 \
    mousemove $((wx + 120)) $((wy + 120)) sleep 0.2 mousemove $((wx + 320)) $((wy + 180)) sleep 0.2 mouseup 1
sleep 0.8
xdotool key ctrl+s
sleep 0.8

import -window root "$work/shot.png"
# The visible part of the workspace: the screen's bottom cuts it.
vis_h=$(( wh < 1000 - wy ? wh : 1000 - wy ))
convert "$work/shot.png" -crop "$((ww < 700 ? ww : 700))x${vis_h}+${wx}+${wy}" +repage "$work/crop.png"
decoded=$(zbarimg -q "$work/crop.png") || fail "zbarimg decodes nothing on the workspace"
echo "decoded: $decoded"

xdotool key alt+x
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the window did not close"
app=

grep -q 'TzdReportTitle' "$work/label.zd3" || fail "no report title saved"
grep -q 'TzdBarCodeView' "$work/label.zd3" || fail "no barcode saved"
echo "ok"
