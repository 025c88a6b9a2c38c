#!/bin/bash
# The game starts under Xvfb, prints its three start-up lines first, and Escape ends it
# with status 0.
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
echo "PASS"
