#!/bin/bash
# Asked to end by the system (kill, a terminal's Ctrl-C, a session closing), a running game
# ends at once: the sound library's own signal handlers would only queue a quit event that
# nothing reads, and the game would go on.
. "$(dirname "$0")/game.sh"
in_runtime "$1"

start_game "$work/out" "$work/err"
kill -0 "$game_pid" 2>/dev/null || fail "the game did not start: $(head -c 1000 "$work/err")"
kill -TERM "$game_pid"
for _ in $(seq 1 100); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$game_pid" 2>/dev/null; then
    kill -9 "$game_pid"
    fail "still running 10 s after SIGTERM"
fi
wait "$game_pid"
status=$?
# 128 + 15: ended by the signal itself.
[ "$status" -eq 143 ] || fail "exit status $status after SIGTERM"
echo "PASS"
