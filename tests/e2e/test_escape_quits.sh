#!/bin/bash
# The game starts under Xvfb, prints its three start-up lines first, and Escape ends it
# with status 0, full screen and windowed.
. "$(dirname "$0")/game.sh"
runtime=$1
work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
start_xvfb || fail "no Xvfb"

run_game_until_escape "$runtime" "$work/out" "$work/err"
[ "$GAME_STATUS" = 0 ] || fail "exit status $GAME_STATUS, expected 0; stderr: $(cat "$work/err")"

mapfile -t lines <"$work/out"
[ "${lines[0]}" = "initialized glfw" ] || fail "line 1 is '${lines[0]}'"
[ "${lines[1]}" = "initialized glew" ] || fail "line 2 is '${lines[1]}'"
[[ "${lines[2]}" == "OpenGL Version: "[34].* ]] || fail "line 3 is '${lines[2]}'"
# The same in an 800x600 window instead of full screen.
run_game_until_escape "$runtime" "$work/out2" "$work/err2" --windowed
[ "$GAME_STATUS" = 0 ] || fail "--windowed: exit status $GAME_STATUS; stderr: $(cat "$work/err2")"
head -n 1 "$work/out2" | grep -qx "initialized glfw" || fail "--windowed: start-up lines missing"
echo "PASS"
