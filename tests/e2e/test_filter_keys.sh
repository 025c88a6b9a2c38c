#!/bin/bash
# F4 and F5 pressed in the real window reach the rules as F4 and F5: from the start
# (nearest-neighbour mipmaps, nearest filtering) F4 switches to linear filtering and F5
# then to linear mipmap blending, each with its one console line, in that order.
. "$(dirname "$0")/game.sh"
runtime=$1
work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
start_xvfb || fail "no Xvfb"
cd "$runtime"

./gorbeck >"$work/out" 2>"$work/err" &
pid=$!
for _ in $(seq 1 600); do
    grep -q '^numMeshes of models/level.obj' "$work/out" && break
    sleep 0.1
done
sleep 2
xdotool key F4
sleep 1
xdotool key F5
sleep 1
for _ in $(seq 1 300); do
    kill -0 "$pid" 2>/dev/null || break
    xdotool key Escape 2>/dev/null || true
    sleep 0.1
done
wait "$pid"
status=$?
[ "$status" = 0 ] || fail "exit status $status: $(cat "$work/err")"

expected='Mipmapping on (nearest neighbour), linear texture filtering
Mipmapping on (linear), linear texture filtering'
got=$(grep '^Mipmapping' "$work/out")
[ "$got" = "$expected" ] || fail "filter lines were: $got"
echo "PASS"
