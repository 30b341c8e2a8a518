#!/bin/sh
# Makes the screenshots of docs/ from the example project:
#   docs/main-window.png  the editor with examples/example.lfp open
#   docs/add-link.png     adding a link with the Add Link button
#   docs/start-page.png   the page generated from it, in a browser
#   docs/modern-page.png, docs/modern-page-phone.png
#                         its modern page on a wide screen (light) and on a
#                         phone (dark)
# Needs a built program (make) and, from Debian 12:
#   apt-get install xvfb x11-utils xdotool imagemagick chromium optipng pngquant
# The editor runs on a private virtual display with its settings and desktop
# files in a scratch folder, so nothing of the user's is touched.
set -eu

cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
PROGRAM=$BUILD/linkfold
PROJECT=examples/example.lfp
OUT=docs
DISPLAY_NUM=${SCREENSHOT_DISPLAY:-:97}

for tool in Xvfb xdotool import chromium; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (see the head of $0)" >&2; exit 1; }
done
[ -x "$PROGRAM" ] || { echo "build the program first (make)" >&2; exit 1; }

SCRATCH=$(mktemp -d)
XVFB_PID=
APP_PID=
cleanup() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$SCRATCH"
}
trap cleanup EXIT INT TERM
mkdir -p "$OUT" "$SCRATCH/config" "$SCRATCH/data" "$SCRATCH/browser"

shrink() {
    if command -v pngquant >/dev/null; then
        pngquant --force --skip-if-larger --quality 70-95 --output "$1" "$1" || true
    fi
    if command -v optipng >/dev/null; then
        optipng -quiet -o2 "$1"
    fi
}

# 1. The editor with the example project open.
Xvfb "$DISPLAY_NUM" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
sleep 2
DISPLAY=$DISPLAY_NUM XDG_CONFIG_HOME=$SCRATCH/config XDG_DATA_HOME=$SCRATCH/data \
    QT_QPA_PLATFORM=xcb "$PROGRAM" "$PROJECT" >/dev/null 2>&1 &
APP_PID=$!
WINDOW=
for _ in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20; do
    sleep 0.5
    WINDOW=$(DISPLAY=$DISPLAY_NUM xdotool search --onlyvisible --name 'Linkfold' 2>/dev/null | head -n 1) || true
    [ -n "$WINDOW" ] && break
done
[ -n "$WINDOW" ] || { echo "the editor window did not appear" >&2; exit 1; }
sleep 2 # let it finish painting
DISPLAY=$DISPLAY_NUM import -window "$WINDOW" "$OUT/main-window.png"

# 2. Adding a link: the Add Link button of the toolbar, then the two fields.
eval "$(DISPLAY=$DISPLAY_NUM xdotool getwindowgeometry --shell "$WINDOW")"
DISPLAY=$DISPLAY_NUM xdotool mousemove --window "$WINDOW" 135 36 click 1
sleep 1.5
DISPLAY=$DISPLAY_NUM xdotool type --delay 20 'Debian Wiki'
DISPLAY=$DISPLAY_NUM xdotool key Tab
DISPLAY=$DISPLAY_NUM xdotool type --delay 20 'https://wiki.debian.org/'
sleep 1
DISPLAY=$DISPLAY_NUM import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$OUT/add-link.png"
kill "$APP_PID" 2>/dev/null || true
APP_PID=
kill "$XVFB_PID" 2>/dev/null || true
XVFB_PID=
shrink "$OUT/main-window.png"
shrink "$OUT/add-link.png"

# 3. The generated page in a browser (headless, so no display is needed).
"$PROGRAM" --generate "$PROJECT" "$SCRATCH/start.htm"
chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
    --disable-component-update --disable-sync --no-first-run \
    --user-data-dir="$SCRATCH/browser" --hide-scrollbars \
    --window-size=840,900 --screenshot="$OUT/start-page.png" \
    "file://$SCRATCH/start.htm" >/dev/null 2>&1
shrink "$OUT/start-page.png"

# 4. The modern page, wide and light, then phone-wide and dark.
"$PROGRAM" --generate "$PROJECT" "$SCRATCH/modern.htm" --style modern
for shot in "modern-page.png 1280,820" "modern-page-phone.png 360,760 --force-dark-mode"; do
    # shellcheck disable=SC2086
    set -- $shot
    rm -rf "$SCRATCH/browser"
    chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
        --disable-component-update --disable-sync --no-first-run \
        --user-data-dir="$SCRATCH/browser" --hide-scrollbars \
        --run-all-compositor-stages-before-draw --virtual-time-budget=3000 \
        --window-size="$2" ${3:-} --screenshot="$OUT/$1" \
        "file://$SCRATCH/modern.htm" >/dev/null 2>&1
    shrink "$OUT/$1"
done

ls -l "$OUT"/main-window.png "$OUT"/add-link.png "$OUT"/start-page.png "$OUT"/modern-page*.png
