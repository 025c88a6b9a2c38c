#!/bin/bash
# The real game in a window under Xvfb with F2 on: moving the focus to another window stops
# the frame-rate lines within two frames, and they run again, without U, once the game has
# the focus back. No window manager runs: xdotool moves the focus itself, as a click would.
# The recording of the run marks the frames away, and replays to the end.
. "$(dirname "$0")/game.sh"
in_runtime "$1"
start_game "$work/out" "$work/err" --windowed --record "$work/focus.replay"

fps_lines() { grep -c '^FPS: ' "$work/out"; }

game_window=$(xdotool search --name '^The Tale of Gorbeck$' | head -n 1)
[ -n "$game_window" ] || fail "no game window"
xdotool key F2
sleep 2
[ "$(fps_lines)" -gt 0 ] || fail "no FPS lines after F2"

xmessage -geometry 160x40+620+540 "another window" 2>/dev/null &
other_pid=$!
trap 'kill "$other_pid" 2>/dev/null; stop_xvfb; rm -rf "$work"' EXIT
other_window=$(xdotool search --sync --name '^xmessage$' | head -n 1)
[ -n "$other_window" ] || fail "no second window"
xdotool windowfocus --sync "$other_window"
away=$(fps_lines)
sleep 3
still=$(fps_lines)
[ $((still - away)) -le 2 ] || fail "$((still - away)) FPS lines in 3 s without the focus"

xdotool windowfocus --sync "$game_window"
sleep 3
back=$(fps_lines)
[ $((back - still)) -ge 5 ] || fail "only $((back - still)) FPS lines in 3 s after the focus came back"
# The frame that resumes takes no time, as after U.
first_back=$(grep '^FPS: ' "$work/out" | sed -n "$((still + 1))p")
[ "$first_back" = "FPS: inf" ] || fail "the first line back is '$first_back', not 'FPS: inf'"

quit_game "$work/err"

away_frames=$(grep -c '^frame .* unfocused$' "$work/focus.replay")
[ "$away_frames" -ge 1 ] || fail "the recording marks no frame away"
timeout 300 ./gorbeck --replay "$work/focus.replay" --draw-every 1000 >"$work/again" 2>&1 || fail "replaying the recording failed"
tail -n 1 "$work/again" | grep -q '^replay: ' || fail "no final line"
echo "PASS: $((still - away)) FPS lines in 3 s away, $((back - still)) in 3 s back, $away_frames frames recorded away"
