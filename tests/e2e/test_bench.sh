#!/bin/bash
# The benchmark's report on the route's first 8 frames, in the format bench/timedemo.sh reads:
# the start-up steps in start-up's order, adding up to the start-up time (they run from the
# process's start), a floor frame beside every frame of play, figures from the 6 frames and
# floors not timed on the GPU (the 4th and 8th are), and frame / floor as the quotient of the
# means it prints.
. "$(dirname "$0")/game.sh"
in_runtime "$1"

awk '/^frame / && ++n > 8 { exit } { print }' "$source_dir/demo/win.replay" >"$work/start.replay"
timeout -k 10 300 ./gorbeck-bench --renderer hardware "$work/start.replay" >"$work/report" 2>"$work/err" ||
    fail "exit status $?: $(head -c 1000 "$work/err")"
number='[0-9]+\.[0-9]'
{
    echo '^bench: 8 frames, hardware path, renderer .+$'
    echo "^start-up to first frame: ${number}{2} s\$"
    step='[0-9]+ / [0-9]+'
    steps="program loading $step, window and GL context $step, music $step"
    steps+=", scene $step, shader programs $step"
    steps+=", shadow map $step, player model $step, level model $step, first frame $step"
    echo "^start-up steps \\(ms wall / process CPU\\): $steps\$"
    echo "^frame time \\(ms\\): mean $number, median $number, 99th percentile $number\$"
    echo "^CPU per frame \\(ms\\): update ${number}{3}\$"
    echo "^GPU per pass \\(ms\\): shadow $number, camera $number\$"
    echo '^peak resident memory: [0-9]+ MB$'
    echo "^floor: 6 frames, frame time \\(ms\\): mean $number, median $number, 99th percentile $number; GPU shadow $number, camera $number ms\$"
    echo "^frames of play beside their floor \\(ms\\): process CPU $number / $number, wall $number / $number\$"
    echo "^frame / floor: CPU ${number}{2}, wall ${number}{2}\$"
} >"$work/patterns"
mapfile -t patterns <"$work/patterns"
mapfile -t lines <"$work/report"
[ "${#lines[@]}" -eq "${#patterns[@]}" ] || fail "${#lines[@]} report lines, expected ${#patterns[@]}: $(cat "$work/report")"
for i in "${!patterns[@]}"; do
    [[ "${lines[$i]}" =~ ${patterns[$i]} ]] || fail "line $((i + 1)) is '${lines[$i]}', expected /${patterns[$i]}/"
done

# The steps' wall times, each rounded to 1 ms, add up to the start-up time, rounded to 10 ms.
awk '
    /^start-up to first frame:/ { total = $5 * 1000 }
    /^start-up steps/ {
        sub(/^[^:]*: /, "")
        n = split($0, steps, ", ")
        for (i = 1; i <= n; ++i) { k = split(steps[i], f, " "); sum += f[k - 2] }
    }
    END {
        if (sum < total - 11 || sum > total + 11) { printf "steps add up to %d ms, start-up is %d ms\n", sum, total; exit 1 }
    }' "$work/report" || fail "$(awk '/^start-up/' "$work/report")"

# Frame / floor is the quotient of the printed means, each rounded to 0.1 ms.
awk '
    function check(what, ratio, a, b) {
        lo = (a - 0.05) / (b + 0.05); hi = (a + 0.05) / (b - 0.05)
        if (ratio < lo - 0.005 || ratio > hi + 0.005) { printf "%s: %s is not %s / %s\n", what, ratio, a, b; bad = 1 }
    }
    /^frames of play beside/ { cpuPlay = $10; cpuFloor = $12; wallPlay = $14; wallFloor = $16; sub(",", "", cpuFloor) }
    /^frame \/ floor:/ { cpu = $5; wall = $7; sub(",", "", cpu) }
    END { check("CPU", cpu, cpuPlay, cpuFloor); check("wall", wall, wallPlay, wallFloor); exit bad }' "$work/report" ||
    fail "$(tail -n 2 "$work/report")"
echo "PASS"
