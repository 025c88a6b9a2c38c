#!/bin/bash
# Without a display the game says so in one line on standard error and exits with status 1,
# printing nothing on standard output.
. "$(dirname "$0")/game.sh"
runtime=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$runtime" && env -u DISPLAY -u WAYLAND_DISPLAY timeout 30 ./gorbeck) >"$work/out" 2>"$work/err"
status=$?
[ "$status" = 1 ] || fail "exit status $status, expected 1"
[ ! -s "$work/out" ] || fail "standard output is not empty: $(cat "$work/out")"
[ "$(wc -l <"$work/err")" = 1 ] || fail "expected one line on standard error, got: $(cat "$work/err")"
grep -q "^gorbeck: the window library could not start: " "$work/err" || fail "unexpected message: $(cat "$work/err")"
echo "PASS"
