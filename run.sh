#!/bin/bash
# Installs what is missing, builds, and runs the game. Without a display it runs the game
# under Xvfb for about ten seconds, saves a screenshot to build/screenshot.png and ends it
# with Escape.
set -euo pipefail
cd "$(dirname "$0")"

./tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"

if [ -n "${DISPLAY:-}" ]; then
    cd build
    exec ./gorbeck
fi

. tests/e2e/xvfb.sh
start_xvfb
trap stop_xvfb EXIT
echo "No display: running the game under Xvfb ($DISPLAY) for ten seconds."
(cd build && ./gorbeck) &
game=$!
sleep 10
import -window root build/screenshot.png
xdotool key Escape
for _ in $(seq 1 300); do
    kill -0 "$game" 2>/dev/null || break
    xdotool key Escape 2>/dev/null || true
    sleep 0.1
done
wait "$game"
echo "Screenshot saved to $(pwd)/build/screenshot.png"
