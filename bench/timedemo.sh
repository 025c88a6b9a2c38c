#!/bin/bash
# Builds a release binary, runs the timedemo of a recorded route under Xvfb, and prints a
# table of the real frame beside the true floor: the least work known to give the same
# shadow map and a picture of the same objects, drawn after every frame of play.
#   bench/timedemo.sh [REPLAY]     (default demo/win.replay)
set -euo pipefail
cd "$(dirname "$0")/.."
replay=$(realpath "${1:-demo/win.replay}")

./tools/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DGORBECK_TESTS=OFF >/dev/null
cmake --build build-release -j"$(nproc)" --target gorbeck >/dev/null

. tests/e2e/xvfb.sh
start_xvfb
trap stop_xvfb EXIT
out=$(mktemp)
(cd build-release && ./gorbeck --timedemo "$replay") >"$out"
sed -n '/^timedemo:/,$p' "$out"

# The table: one row per figure, from the timedemo's own lines.
awk -v machine="$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), Mesa $(glxinfo 2>/dev/null | sed -n 's/.*OpenGL version string: .*Mesa \([0-9.]*\).*/\1/p')" '
    /^timedemo:/                { frames = $2 }
    /^start-up to first frame:/ { startup = $5 }
    /^start-up steps/           { steps = $0; sub(/^start-up steps \(ms wall \/ process CPU\): /, "", steps) }
    /^frame time/               { mean = $5; median = $7; p99 = $10 }
    /^CPU per frame/            { update = $6; submit = $9 }
    /^GPU per pass/             { shadow = $6; camera = $8 }
    /^peak resident memory:/    { memory = $4 }
    /^floor:/                   { fmean = $8; fshadow = $(NF - 3); fcamera = $(NF - 1) }
    /^frames of play beside/    { pcpu = $10; fcpu = $12; pwall = $14; fwall = $16 }
    /^frame \/ floor:/          { rcpu = $5; rwall = $7 }
    END {
        gsub(",", "", mean); gsub(",", "", median); gsub(",", "", update); gsub(",", "", shadow)
        gsub(",", "", fmean); gsub(",", "", fshadow); gsub(",", "", pcpu); gsub(",", "", fcpu); gsub(",", "", rcpu)
        printf "\n| measure | value |\n|---|---|\n"
        printf "| machine | %s |\n", machine
        printf "| frames | %s |\n", frames
        printf "| start-up to first frame | %s s |\n", startup
        printf "| start-up steps, ms wall / CPU | %s |\n", steps
        printf "| frame time mean / median / p99 | %s / %s / %s ms |\n", mean, median, p99
        printf "| CPU per frame: update / draw submission | %s / %s ms |\n", update, submit
        printf "| GPU per pass: shadow / camera | %s / %s ms |\n", shadow, camera
        printf "| true floor: frame mean, GPU shadow / camera | %s ms, %s / %s ms |\n", fmean, fshadow, fcamera
        printf "| frame of play / its floor, process CPU | %s / %s ms |\n", pcpu, fcpu
        printf "| frame of play / its floor, wall | %s / %s ms |\n", pwall, fwall
        printf "| frame / floor, CPU and wall | %s and %s |\n", rcpu, rwall
        printf "| peak resident memory | %s MB |\n", memory
    }' "$out"
rm -f "$out"
