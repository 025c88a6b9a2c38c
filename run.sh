#!/bin/bash
# Installs what is missing, builds, and runs the game. Without a display it plays the
# recorded route demo/win.replay under Xvfb and saves screenshots at its start, halfway
# and on the win screen.
set -euo pipefail
cd "$(dirname "$0")"

./tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"

if [ -n "${DISPLAY:-}" ]; then
    cd build
    exec ./gorbeck "$@"
fi

. tests/e2e/xvfb.sh
start_xvfb
trap stop_xvfb EXIT
echo "No display: playing demo/win.replay under Xvfb ($DISPLAY)."
cd build
rm -f screenshot-start.png screenshot-mid.png screenshot-end.png
# Software rendering draws a few frames a second: draw every 8th frame of the 20 per second recorded.
./gorbeck --replay ../demo/win.replay --draw-every 8 \
    --screenshot 60=screenshot-start.png --screenshot mid=screenshot-mid.png --screenshot end=screenshot-end.png \
    | tail -n 1
cp screenshot-mid.png screenshot.png
echo "Screenshots: $(pwd)/screenshot-start.png, $(pwd)/screenshot-mid.png and $(pwd)/screenshot-end.png"
