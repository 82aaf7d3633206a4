#!/bin/bash
# The designer window under Xvfb, driven by xdotool through the rectangles
# zddesign --gui --dump-geometry writes: the band menu inserts a report
# title, the barcode category inserts a barcode on the workspace, Ctrl+S
# saves and Alt+X closes. The screenshot's workspace must hold a barcode
# zbarimg decodes, and the saved template must hold both objects.
# Screenshots of the window right after opening and after saving are
# compared with the references in data/ (ImageMagick "compare", pixels
# further apart than 10 % counted, at most 0.3 % of the window may differ).
# The window has a fixed size, the fonts are only DejaVu and Liberation
# (a fontconfig file of its own) and the caret does not blink.
# UPDATE_REFERENCE=1 writes the references from this build instead.
# Usage: gui_session.sh ZDDESIGN TEMPLATE. Exit 77 (skipped) without the tools.
set -u
ZDDESIGN=$1
TEMPLATE=$2
REFDIR=$(cd "$(dirname "$0")" && pwd)/data
for tool in Xvfb xdotool zbarimg import convert compare identify; do
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
# Only the fonts the references were drawn with.
fontdirs=
for d in /usr/share/fonts/truetype/dejavu /usr/share/fonts/truetype/liberation2; do
    [ -d "$d" ] && fontdirs="$fontdirs<dir>$d</dir>"
done
compare_shots=1
[ -d /usr/share/fonts/truetype/dejavu ] || { compare_shots=0; echo "no DejaVu fonts: screenshots not compared"; }
mkdir -p "$work/fccache"
cat >"$work/fonts.conf" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  $fontdirs
  <cachedir>$work/fccache</cachedir>
  <match target="pattern"><edit name="family" mode="append"><string>DejaVu Sans</string></edit></match>
</fontconfig>
EOF
export FONTCONFIG_FILE="$work/fonts.conf"
display=
for n in $(seq 91 160); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
done
[ -n "$display" ] || exit 77
Xvfb ":$display" -screen 0 1280x1000x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$display" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb
# The same look wherever it runs: style, scale and font resolution fixed.
export QT_STYLE_OVERRIDE=Fusion QT_SCALE_FACTOR=1 QT_FONT_DPI=96 QT_QPA_PLATFORMTHEME=
unset QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING QT_SCREEN_SCALE_FACTORS
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

"$ZDDESIGN" --gui --window-size 1200x900 --dump-geometry "$work/geom.txt" "$work/label.zd3" &
app=$!
for _ in $(seq 100); do [ -s "$work/geom.txt" ] && break; sleep 0.2; done
[ -s "$work/geom.txt" ] || fail "no geometry written"
sleep 0.5

rect() { awk -v n="$1" '$1 == n { print $2, $3, $4, $5; found = 1; exit } END { exit !found }' "$work/geom.txt"; }
# The window's picture, cut from the screen at its rectangle.
shot() {
    local x y w h
    read -r x y w h < <(rect zdDesignerForm) || fail "no window"
    import -window root "$work/root.png"
    convert "$work/root.png" -crop "${w}x${h}+${x}+${y}" +repage "$work/$1.png"
}
check_shot() {
    [ "$compare_shots" = 1 ] || return 0
    local ref="$REFDIR/$1.png"
    if [ -n "${UPDATE_REFERENCE:-}" ]; then
        cp "$work/$1.png" "$ref"
        echo "reference $ref written"
        return 0
    fi
    [ -f "$ref" ] || fail "no reference $ref"
    local size refsize
    size=$(identify -format '%wx%h' "$work/$1.png")
    refsize=$(identify -format '%wx%h' "$ref")
    [ "$size" = "$refsize" ] || fail "$1 is $size, its reference $refsize"
    local diff limit
    diff=$(compare -metric AE -fuzz 10% "$ref" "$work/$1.png" "$work/$1-diff.png" 2>&1 >/dev/null)
    diff=$(awk -v d="$diff" 'BEGIN { printf "%d", d + 0 }')
    limit=$(awk -v s="$size" 'BEGIN { split(s, a, "x"); printf "%d", a[1] * a[2] * 3 / 1000 }')
    echo "$1: $diff pixels differ (limit $limit)"
    [ "$diff" -le "$limit" ] || fail "$1 differs from its reference in $diff pixels"
}
click() {
    local x y w h
    read -r x y w h < <(rect "$1") || fail "no widget $1"
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
    sleep 0.4
}

# A fixed place for the pointer, away from the window's controls.
xdotool mousemove 1250 980
sleep 0.3
shot designer_open
check_shot designer_open

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
xdotool mousemove 1250 980
sleep 0.5
shot designer_saved
check_shot designer_saved

cp "$work/root.png" "$work/shot.png"
# The visible part of the workspace: the scroll box around it cuts it.
read -r sx sy sw sh < <(rect ScrollBox) || fail "no scroll box"
x0=$(( wx > sx ? wx : sx )); y0=$(( wy > sy ? wy : sy ))
x1=$(( wx + ww < sx + sw ? wx + ww : sx + sw )); y1=$(( wy + wh < sy + sh ? wy + wh : sy + sh ))
convert "$work/shot.png" -crop "$(( x1 - x0 < 700 ? x1 - x0 : 700 ))x$(( y1 - y0 ))+${x0}+${y0}" +repage "$work/crop.png"
decoded=$(zbarimg -q "$work/crop.png") || fail "zbarimg decodes nothing on the workspace"
echo "decoded: $decoded"

xdotool key alt+x
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the window did not close"
app=

grep -q 'TzdReportTitle' "$work/label.zd3" || fail "no report title saved"
grep -q 'TzdBarCodeView' "$work/label.zd3" || fail "no barcode saved"
echo "ok"
