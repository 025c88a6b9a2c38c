# Sourced by the end-to-end tests: runs the real game from a run-time tree and ends it.
. "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# copy_runtime SRC DST: a private copy of the run-time tree that a test may break.
copy_runtime() {
    mkdir -p "$2"
    cp -r "$1/gorbeck" "$1/shader" "$1/models" "$1/textures" "$1/sounds" "$2/"
}

# run_game_until_escape DIR OUT ERR [FLAGS...]: starts ./gorbeck in DIR on the current
# DISPLAY, waits for its window, presses Escape until the game ends (60 s at most) and sets
# GAME_STATUS.
run_game_until_escape() {
    local dir=$1 out=$2 err=$3
    shift 3
    (cd "$dir" && exec ./gorbeck "$@") >"$out" 2>"$err" &
    local pid=$!
    for _ in $(seq 1 600); do
        kill -0 "$pid" 2>/dev/null || break
        if xdotool search --name "The Tale of Gorbeck" >/dev/null 2>&1; then
            xdotool key Escape 2>/dev/null || true
        fi
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill -9 "$pid"
        wait "$pid" 2>/dev/null
        fail "the game did not end within 60 seconds of Escape"
    fi
    wait "$pid"
    GAME_STATUS=$?
}
