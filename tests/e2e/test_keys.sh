#!/bin/bash
# The real game under Xvfb, driven with xdotool as a player would: F3 held, then tapped,
# switches wireframe on and off with its messages, F2 starts the frame-rate lines, holding W
# changes the picture, and Escape ends the game with status 0.
. "$(dirname "$0")/game.sh"
in_runtime "$1"
start_game "$work/out" "$work/err"

press() { # key seconds
    xdotool keydown "$1"
    sleep "$2"
    xdotool keyup "$1"
    sleep 1
}

press F3 0.5
# A tap shorter than a frame still counts.
xdotool key F3
sleep 1
import -window root "$work/before.png"
press w 3
import -window root "$work/after.png"
press F2 0.3
sleep 2
quit_game "$work/err"

[ "$(grep -c '^Wire frame mode on$' "$work/out")" = 1 ] || fail "expected one 'Wire frame mode on'"
[ "$(grep -c '^Wire frame mode off$' "$work/out")" = 1 ] || fail "expected one 'Wire frame mode off'"
on=$(grep -n '^Wire frame mode on$' "$work/out" | cut -d: -f1)
off=$(grep -n '^Wire frame mode off$' "$work/out" | cut -d: -f1)
[ "$on" -lt "$off" ] || fail "wireframe went off before on"
grep -Eq '^FPS: [0-9.e+-]+$' "$work/out" || fail "no FPS lines after F2"

# Walking 30 units brings the scenery closer: thousands of pixels change, where a standing
# mouse changes none (the frames are deterministic).
changed=$(compare -metric AE -fuzz 10% "$work/before.png" "$work/after.png" null: 2>&1 || true)
[ "${changed%.*}" -gt 2000 ] 2>/dev/null || fail "holding W changed only '$changed' pixels"
echo "PASS"
