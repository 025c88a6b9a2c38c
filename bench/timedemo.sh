#!/bin/bash
# Builds a release tree and runs the benchmark (build-release/gorbeck-bench) under Xvfb on a
# recorded route, on the software path and on the hardware path in turn, ROUNDS times each,
# and prints the figures of every run and a table of the medians per path.
#   bench/timedemo.sh [REPLAY [FRAMES [ROUNDS]]]   (default: demo/win.replay, all frames, 1 round)
set -euo pipefail
cd "$(dirname "$0")/.."
replay=$(realpath "${1:-demo/win.replay}")
frames=${2:-0}
rounds=${3:-1}

./tools/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DGORBECK_TESTS=OFF >/dev/null
cmake --build build-release -j"$(nproc)" --target gorbeck-bench >/dev/null

. tests/e2e/xvfb.sh
start_xvfb
trap stop_xvfb EXIT
out=$(mktemp)
for round in $(seq 1 "$rounds"); do
    for path in software hardware; do
        (cd build-release && ./gorbeck-bench --renderer "$path" --frames "$frames" "$replay" 2>/dev/null) | tee -a "$out"
    done
done

# One column per path: the median over the rounds of each figure the report prints.
echo
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $rounds round(s)"
awk '
    function num(s) { gsub(/[,s]$/, "", s); return s + 0 }
    function add(name, value) { if (!(name in seen)) { seen[name] = 1; order[++n] = name } v[name, path, ++c[name, path]] = value }
    function median(name, p,    k, m, a, i, j, t) {
        m = c[name, p]; for (k = 1; k <= m; ++k) a[k] = v[name, p, k]
        for (i = 1; i <= m; ++i) for (j = i + 1; j <= m; ++j) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
        return m % 2 ? a[(m + 1) / 2] : (a[m / 2] + a[m / 2 + 1]) / 2
    }
    /^bench:/                   { path = $4; add("frames", $2) }
    /^start-up to first frame:/ { add("start-up to first frame (s)", num($5)) }
    /^frame time/               { add("frame time mean (ms)", num($5)); add("frame time median (ms)", num($7)); add("frame time 99th percentile (ms)", num($10)) }
    /^CPU per frame/            { add("CPU per frame in the update (ms)", num($6)) }
    /^GPU per pass/             { add("GPU shadow pass (ms)", num($6)); add("GPU camera pass and swap (ms)", num($8)) }
    /^peak resident memory:/    { add("peak resident memory (MB)", num($4)) }
    /^floor:/                   { add("floor frame mean (ms)", num($8)) }
    /^frames of play beside/    { add("frame / floor, process CPU (ms)", num($10) " / " num($12)); add("frame of play, process CPU (ms)", num($10)); add("floor, process CPU (ms)", num($12)) }
    /^frame \/ floor:/          { add("frame / floor, CPU", num($5)); add("frame / floor, wall", num($7)) }
    END {
        printf "\n| measure | software path | hardware path |\n|---|---|---|\n"
        for (i = 1; i <= n; ++i) {
            if (order[i] == "frame / floor, process CPU (ms)") continue
            printf "| %s | %s | %s |\n", order[i], median(order[i], "software"), median(order[i], "hardware")
        }
    }' "$out"
rm -f "$out"
