#!/bin/bash
# The real game replays a recording: the shipped losing route ends in the water with the
# final line, the lose screen is saved as asked, and a recording made by the game replays
# to the same final line.
. "$(dirname "$0")/game.sh"
in_runtime "$1"

timeout 300 ./gorbeck --replay "$source_dir/demo/lose.replay" --draw-every 50 \
    --screenshot "end=$work/end.png" >"$work/out" 2>"$work/err"
status=$?
[ "$status" = 0 ] || fail "replay status $status: $(cat "$work/err")"
last=$(tail -n 1 "$work/out")
frames=$(grep -c '^frame ' "$source_dir/demo/lose.replay")
[[ "$last" =~ ^replay:\ $frames\ frames,\ player\ at\ \(.*\),\ gameState\ -1$ ]] || fail "final line: $last"
[ -s "$work/end.png" ] || fail "no end screenshot"
# The lose screen is mostly the image's colours, not the black clear colour.
mean=$(convert "$work/end.png" -colorspace Gray -format '%[fx:mean]' info:)
awk -v m="$mean" 'BEGIN { exit !(m > 0.05) }' || fail "the end screenshot is black (mean $mean)"

# Record a short run from the keyboard: hold W for a while, then quit.
start_game "$work/rec.out" "$work/rec.err" --record "$work/rec.replay"
xdotool keydown w; sleep 2; xdotool keyup w; sleep 0.5
quit_game "$work/rec.err"
grep -q ' W$' "$work/rec.replay" || fail "the recording holds no frame with W held"
timeout 300 ./gorbeck --replay "$work/rec.replay" --draw-every 1000 >"$work/again" 2>&1 || fail "replaying the recording failed"
tail -n 1 "$work/again" | grep -q '^replay: ' || fail "no final line"
echo "PASS"
