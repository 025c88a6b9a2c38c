#!/bin/bash
# The real game under Xvfb, started full screen: F11 takes it to a window and back, each
# time at 800x600 and still playing (the frame-rate lines go on), and holding F11 switches
# once.
. "$(dirname "$0")/game.sh"
in_runtime "$1"
start_game "$work/out" "$work/err"

fps_lines() { grep -c '^FPS: ' "$work/out"; }

xdotool key F2
xdotool keydown F11
sleep 1.5
xdotool keyup F11
sleep 1.5
windowed=$(fps_lines)
sleep 2
[ $(($(fps_lines) - windowed)) -ge 5 ] || fail "the game stopped after going to a window"
xdotool key F11
sleep 2
full=$(fps_lines)
sleep 2
[ $(($(fps_lines) - full)) -ge 5 ] || fail "the game stopped after going back to full screen"
quit_game "$work/err"

screens=$(grep -E '^(Full screen|Window), ' "$work/out" | tr '\n' '|')
[ "$screens" = "Window, 800x600|Full screen, 800x600|" ] || fail "screen lines: $screens"
echo "PASS"
