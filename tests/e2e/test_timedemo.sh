#!/bin/bash
# A timedemo of the route's first 8 frames prints the frame count, the render path it took
# (llvmpipe is a software renderer; --renderer forces either path) and the frame times; and
# the game's own start-up lines still come first.
. "$(dirname "$0")/game.sh"
in_runtime "$1"

awk '/^frame / && ++n > 8 { exit } { print }' "$source_dir/demo/win.replay" >"$work/start.replay"
number='[0-9]+\.[0-9]'
for forced in "" hardware software; do
    expected=${forced:-software}
    timeout -k 10 300 ./gorbeck ${forced:+--renderer $forced} --timedemo "$work/start.replay" >"$work/out" 2>"$work/err" ||
        fail "exit status $?: $(head -c 1000 "$work/err")"
    grep -q '^initialized glfw$' "$work/out" || fail "no start-up lines: $(head -c 500 "$work/out")"
    sed -n '/^timedemo:/,$p' "$work/out" >"$work/report"
    mapfile -t lines <"$work/report"
    [ "${#lines[@]}" -eq 2 ] || fail "${#lines[@]} report lines: $(cat "$work/report")"
    [ "${lines[0]}" = "timedemo: 8 frames, $expected path" ] || fail "'${lines[0]}' with '${forced:-no flag}'"
    [[ "${lines[1]}" =~ ^frame\ time\ \(ms\):\ mean\ $number,\ median\ $number,\ 99th\ percentile\ $number$ ]] ||
        fail "'${lines[1]}'"
done
echo "PASS"
