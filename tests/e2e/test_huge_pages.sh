#!/bin/bash
# Started plainly, the game restarts itself once, in the same process, asking glibc for huge
# pages: its environment says so and, where the kernel offers them on request, its memory
# holds some. Where GLIBC_TUNABLES is set already, even to nothing, it is left as it is.
# The memory warmed for the shadow map during start-up is handed back once the map is made.
. "$(dirname "$0")/game.sh"
in_runtime "$1"

tunables_of() {
    tr '\0' '\n' <"/proc/$1/environ" | grep '^GLIBC_TUNABLES=' || echo "(none)"
}

unset GLIBC_TUNABLES
start_game "$work/out" "$work/err"
tunables=$(tunables_of "$game_pid")
huge_kb=$(awk '/^AnonHugePages:/ { print $2 }' "/proc/$game_pid/smaps_rollup")
resident_kb=$(awk '/^VmRSS:/ { print $2 }' "/proc/$game_pid/status")
quit_game "$work/err"
[ "$tunables" = "GLIBC_TUNABLES=glibc.malloc.hugetlb=1" ] || fail "environment holds $tunables"
[ "$(grep -c '^initialized glfw$' "$work/out")" -eq 1 ] || fail "the start-up lines were printed more than once"
if grep -q '\[madvise\]\|\[always\]' /sys/kernel/mm/transparent_hugepage/enabled 2>/dev/null; then
    # About 390 MB are in huge pages with the restart and none without it. Where the kernel
    # finds no free 2 MB blocks it quietly gives small pages, so only a clear share is asked.
    [ "${huge_kb:-0}" -ge 32768 ] || fail "only ${huge_kb:-0} kB in huge pages"
fi

export GLIBC_TUNABLES=
start_game "$work/out2" "$work/err2"
tunables=$(tunables_of "$game_pid")
plain_resident_kb=$(awk '/^VmRSS:/ { print $2 }' "/proc/$game_pid/status")
quit_game "$work/err2"
[ "$tunables" = "GLIBC_TUNABLES=" ] || fail "a set GLIBC_TUNABLES became $tunables"
# Both read about 500 MB; still holding the 288 MB warmed would show as far more than half of it.
[ "$resident_kb" -lt $((plain_resident_kb + 147456)) ] ||
    fail "$resident_kb kB resident with the restart against $plain_resident_kb kB without: warmed memory kept"
echo "PASS"
