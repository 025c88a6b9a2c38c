# Sourced by the end-to-end tests: runs the real game from a run-time tree and ends it.
. "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# in_runtime RUNTIME_DIR [no-display]: a scratch folder $work and (unless told otherwise) a
# private Xvfb, both gone at exit; the working directory becomes the run-time tree.
in_runtime() {
    runtime=$1
    work=$(mktemp -d)
    trap 'stop_xvfb; rm -rf "$work"' EXIT
    [ "${2:-}" = no-display ] || start_xvfb || fail "no Xvfb"
    cd "$runtime" || fail "no run-time tree $runtime"
}

# start_game OUT ERR [FLAGS...]: starts ./gorbeck on the current DISPLAY and returns once it
# has drawn its first frame: the console shows the level's summary and a little time passed.
start_game() {
    local out=$1 err=$2
    shift 2
    ./gorbeck "$@" >"$out" 2>"$err" &
    game_pid=$!
    for _ in $(seq 1 600); do
        grep -q '^numMeshes of models/level.obj' "$out" && break
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.1
    done
    sleep 2
}

# quit_game: presses Escape until the game ends (60 s at most) and fails unless its exit
# status is 0; ERR is shown when it is not.
quit_game() {
    if ! escape_until_ended "$game_pid"; then
        kill -9 "$game_pid"
        fail "the game did not end within 60 seconds of Escape"
    fi
    wait "$game_pid" || fail "exit status $?: $(head -c 1000 "$1")"
}
