#!/bin/bash
# Flags: --help prints the usage; an unknown flag or a missing or malformed replay gives one
# line on standard error and status 2 before any window opens (so even without a display).
. "$(dirname "$0")/game.sh"
in_runtime "$1" no-display

expect_refusal() { # expected-message args...
    local expected=$1
    shift
    env -u DISPLAY timeout 20 ./gorbeck "$@" >"$work/out" 2>"$work/err"
    local status=$?
    [ "$status" = 2 ] || fail "gorbeck $*: status $status, expected 2"
    [ ! -s "$work/out" ] || fail "gorbeck $*: printed on standard output"
    [ "$(cat "$work/err")" = "$expected" ] || fail "gorbeck $*: said '$(cat "$work/err")'"
}

env -u DISPLAY ./gorbeck --help >"$work/help" || fail "--help failed"
head -n 1 "$work/help" | grep -q '^usage: gorbeck ' || fail "--help printed no usage"

expect_refusal 'gorbeck: unknown option "--fly" (see gorbeck --help)' --fly
expect_refusal 'gorbeck: --replay needs a value' --replay
expect_refusal 'gorbeck: --renderer needs hardware or software, not "gpu"' --renderer gpu
expect_refusal "gorbeck: cannot read the replay $work/none.replay: No such file or directory" --replay "$work/none.replay"
printf 'gorbeck-replay 1\nstart 0\nframe 1 400 300 W+Fly\n' >"$work/bad.replay"
expect_refusal "gorbeck: malformed replay $work/bad.replay, line 3: unknown key in \"W+Fly\"" --replay "$work/bad.replay"
printf 'gorbeck-replay 1\nstart 0\nframe 1 400 3e9 -\n' >"$work/far.replay"
expect_refusal "gorbeck: malformed replay $work/far.replay, line 3: the mouse position lies outside -100000 to 100000" --replay "$work/far.replay"
: >"$work/empty.replay"
expect_refusal "gorbeck: malformed replay $work/empty.replay: the file is empty" --replay "$work/empty.replay"
expect_refusal "gorbeck: --draw-every needs a whole number of 1 or more, not \"0\"" --replay "$work/bad.replay" --draw-every 0
expect_refusal "gorbeck: cannot write the recording $work/no/such/dir.replay: No such file or directory" --record "$work/no/such/dir.replay"
echo "PASS"
