#!/bin/bash
# F4 and F5 pressed in the real window reach the rules as F4 and F5: from the start
# (nearest-neighbour mipmaps, nearest filtering) F4 switches to linear filtering and F5
# then to linear mipmap blending, each with its one console line, in that order.
. "$(dirname "$0")/game.sh"
in_runtime "$1"
start_game "$work/out" "$work/err"
xdotool key F4
sleep 1
xdotool key F5
sleep 1
quit_game "$work/err"

expected='Mipmapping on (nearest neighbour), linear texture filtering
Mipmapping on (linear), linear texture filtering'
got=$(grep '^Mipmapping' "$work/out")
[ "$got" = "$expected" ] || fail "filter lines were: $got"
echo "PASS"
