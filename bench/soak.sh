#!/bin/bash
# Plays the sanitizer build of the game for MINUTES minutes of random input under a private
# Xvfb: random key presses and releases among the game's keys and random mouse motion,
# then Escape. Reports the frames played (F2's "FPS:" lines, one per unpaused frame), the
# resident memory at the start and the end, and every sanitizer report on standard error.
#
#   bench/soak.sh MINUTES        (SOAK_SEED=n picks the random sequence; default 1)
#
# Exits 1 when the game died, did not end on Escape, or a sanitizer reported anything.
set -euo pipefail

minutes=${1:?usage: bench/soak.sh MINUTES}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-asan"

cmake -S "$root" -B "$build" -DGORBECK_SANITIZE=ON >/dev/null
cmake --build "$build" --target gorbeck -j2 >/dev/null

. "$root/tests/e2e/xvfb.sh"
logs="$build/soak-$(date +%Y%m%d-%H%M%S)"
mkdir -p "$logs"
pid=""
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill -9 "$pid" 2>/dev/null || true
    fi
    stop_xvfb
}
trap cleanup EXIT
start_xvfb

rss() { awk '/^VmRSS:/ {print $2 " " $3}' "/proc/$1/status" 2>/dev/null || echo "gone"; }

cd "$build"
# glfwTerminate unloads Mesa's driver, which orphans blocks the driver still holds; kept
# loaded to the end they stay reachable (as in test.sh). ASan's runtime must come first.
preload="$(gcc -print-file-name=libasan.so) /usr/lib/$(gcc -print-multiarch)/dri/swrast_dri.so"
LD_PRELOAD=$preload ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=0} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1} \
    LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/bench/soak-lsan.supp} ./gorbeck >"$logs/out" 2>"$logs/err" &
pid=$!

# The level's summary comes just before the first frame; the window must exist for xdotool.
started=0
for _ in $(seq 1 1200); do
    kill -0 "$pid" 2>/dev/null || break
    if grep -q '^numMeshes of models/level.obj' "$logs/out" && xdotool search --name "The Tale of Gorbeck" >/dev/null 2>&1; then
        started=1
        break
    fi
    sleep 0.1
done
if [ "$started" != 1 ]; then
    echo "soak: the game did not start; its standard error:" >&2
    cat "$logs/err" >&2
    exit 1
fi
sleep 2
rss_start=$(rss "$pid")
xdotool key F2

# F2 stays out, or the frame count would stop; P and Enter are pressed rarely.
keys=(w w w s a d space Return i j k l F3 F4 F5 F6 F10 u u p)
declare -A held=()
RANDOM=${SOAK_SEED:-1}
actions=0
deadline=$((SECONDS + minutes * 60))
while [ "$SECONDS" -lt "$deadline" ]; do
    kill -0 "$pid" 2>/dev/null || break
    key=${keys[RANDOM % ${#keys[@]}]}
    if [ -n "${held[$key]:-}" ]; then
        xdotool keyup "$key"
        unset "held[$key]"
    else
        xdotool keydown "$key"
        held[$key]=1
    fi
    # Releases beat presses a little, so few keys stay down at once.
    for other in "${!held[@]}"; do
        if [ $((RANDOM % 4)) = 0 ]; then
            xdotool keyup "$other"
            unset "held[$other]"
        fi
    done
    xdotool mousemove_relative -- $((RANDOM % 81 - 40)) $((RANDOM % 61 - 30))
    actions=$((actions + 1))
    sleep "0.$((RANDOM % 3 + 1))"
done

alive=0
kill -0 "$pid" 2>/dev/null && alive=1
status="died"
rss_end="gone"
if [ "$alive" = 1 ]; then
    for other in "${!held[@]}"; do
        xdotool keyup "$other"
    done
    xdotool key u
    sleep 1
    rss_end=$(rss "$pid")
    if ! escape_until_ended "$pid"; then
        status="did not end on Escape"
    else
        set +e
        wait "$pid"
        code=$?
        set -e
        status="exit status $code"
    fi
else
    set +e
    wait "$pid"
    code=$?
    set -e
    status="died during the soak with status $code"
fi
pid_done=$pid
pid=""

frames=$(grep -c '^FPS: ' "$logs/out" || true)
reports=$(grep -cE '^==[0-9]+==ERROR: |runtime error: |^SUMMARY: ' "$logs/err" || true)
echo "soak: $minutes min, $actions input actions, seed ${SOAK_SEED:-1}, pid $pid_done"
echo "frames (FPS lines): $frames"
echo "resident memory: start $rss_start, end $rss_end"
echo "game: $status"
echo "sanitizer report lines: $reports"
grep -E -A30 '^==[0-9]+==ERROR: |runtime error: ' "$logs/err" || true
# What bench/soak-lsan.supp hid, so a suppressed leak is still seen.
grep -A5 '^Suppressions used:' "$logs/err" || true
echo "logs: $logs"
[ "$status" = "exit status 0" ] && [ "$reports" = 0 ]
