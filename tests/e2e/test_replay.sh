#!/bin/bash
# The real game replays a recording: the shipped losing route ends in the water with the
# final line, the lose screen is saved as asked, and a recording made by the game replays
# to the same final line.
. "$(dirname "$0")/game.sh"
runtime=$1
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
start_xvfb || fail "no Xvfb"
cd "$runtime"

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
(exec ./gorbeck --record "$work/rec.replay") >"$work/rec.out" 2>&1 &
pid=$!
for _ in $(seq 1 600); do # until the first frame is recorded
    grep -q '^frame ' "$work/rec.replay" 2>/dev/null && break
    sleep 0.1
done
xdotool keydown w; sleep 2; xdotool keyup w; sleep 0.5
for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    xdotool key Escape 2>/dev/null || true
    sleep 0.1
done
wait "$pid" || fail "recording run failed: $(cat "$work/rec.out")"
grep -q ' W$' "$work/rec.replay" || fail "the recording holds no frame with W held"
timeout 300 ./gorbeck --replay "$work/rec.replay" --draw-every 1000 >"$work/again" 2>&1 || fail "replaying the recording failed"
tail -n 1 "$work/again" | grep -q '^replay: ' || fail "no final line"
echo "PASS"
