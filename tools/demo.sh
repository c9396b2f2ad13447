#!/usr/bin/env bash
# Builds the program, makes a demo database and a street map of the demo town
# in demo/ and starts the program there. Without a display it runs under Xvfb,
# saves demo/screenshot.png and quits.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh
mkdir -p demo
cd demo
# A report per radio every 5 s over the last 6 hours: dense enough that a
# replay's trails follow the streets instead of cutting across blocks.
../build/possim --db tavirelmonkas.db --fresh --town town.osm --reports 86400 --span-hours 6
bash ../tools/make-map.sh town.osm streets.mbtiles >/dev/null
# The program reads its INI file beside it; one of the user's own is left alone.
ini=../build/tavirelmonkas.ini
if [ ! -e "$ini" ]; then
    printf '[General]\r\nMapFile=../demo/streets.mbtiles\r\n' >"$ini"
elif ! grep -q '^MapFile=' "$ini"; then
    echo "Note: $ini has no MapFile key; add MapFile=../demo/streets.mbtiles to see the streets." >&2
fi
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec ../build/coorpos
fi
[ "$(id -u)" -ne 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
xvfb-run -a -s "-screen 0 1280x800x24" ../build/coorpos-shot --screenshot screenshot.png \
    --tick Projects --set Edit20=16 --press ToolButton1 "$@"
echo "No display: saved $(pwd)/screenshot.png"
