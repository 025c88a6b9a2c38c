# Sourced by the scripts that need a display. start_xvfb starts a private Xvfb on a free
# display number (Xvfb picks it itself through -displayfd, so parallel tests never race
# for one) and exports DISPLAY; stop_xvfb ends it. escape_until_ended ends a game with Escape.
XVFB_PID=""

start_xvfb() {
    fdfile=$(mktemp)
    # -noreset: by default the server resets when its last client leaves, and a game starting
    # in that moment cannot connect.
    Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$fdfile" 2>/dev/null &
    XVFB_PID=$!
    for _ in $(seq 1 100); do
        [ -s "$fdfile" ] && break
        sleep 0.1
    done
    number=$(tr -d '\n' <"$fdfile")
    rm -f "$fdfile"
    if [ -z "$number" ]; then
        echo "xvfb.sh: Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":$number"
}

# escape_until_ended PID: presses Escape until the process ends, 60 s at most; fails if it
# is still running then.
escape_until_ended() {
    for _ in $(seq 1 600); do
        kill -0 "$1" 2>/dev/null || return 0
        xdotool key Escape 2>/dev/null || true
        sleep 0.1
    done
    ! kill -0 "$1" 2>/dev/null
}

stop_xvfb() {
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=""
    fi
}
