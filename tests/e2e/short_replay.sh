#!/bin/bash
# short_replay.sh RUNTIME_DIR: plays the first 60 frames of the losing route, drawing every
# 20th, and checks that the game ends by itself with status 0 and its closing line, and
# that standard error holds no sanitizer report. Made for sanitizer builds; GORBECK_PRELOAD,
# when set, is the game's LD_PRELOAD.
. "$(dirname "$0")/game.sh"
in_runtime "$1"

# The header and the first 60 frames; the route only ends in the water much later.
awk '/^frame / && ++n > 60 { exit } { print }' "$source_dir/demo/lose.replay" >"$work/start.replay"
[ "$(grep -c '^frame ' "$work/start.replay")" = 60 ] || fail "demo/lose.replay has fewer than 60 frames"
timeout -k 10 600 env ${GORBECK_PRELOAD:+LD_PRELOAD="$GORBECK_PRELOAD"} ./gorbeck --replay "$work/start.replay" --draw-every 20 >"$work/out" 2>"$work/err"
status=$?
if grep -qE 'ERROR: AddressSanitizer|runtime error:|LeakSanitizer|ERROR: UndefinedBehaviorSanitizer' "$work/err"; then
    cat "$work/err" >&2
    fail "sanitizer report"
fi
[ "$status" = 0 ] || fail "exit status $status: $(head -c 1000 "$work/err")"
last=$(tail -n 1 "$work/out")
[[ "$last" =~ ^replay:\ 60\ frames,\ player\ at\ \(.*\),\ gameState\ 0$ ]] || fail "closing line: $last"
echo "PASS"
