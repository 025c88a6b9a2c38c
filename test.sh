#!/bin/bash
# Installs what is missing, builds, and runs every test. Tests that need a display start
# their own Xvfb. Then builds the game again with AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan) and runs the CPU tests, a short replay and the
# fault matrix there. The last line counts the ctest tests and those three runs together.
set -euo pipefail
cd "$(dirname "$0")"

./tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"

log=$(mktemp)
trap 'rm -f "$log"' EXIT
(cd build && ctest --output-on-failure -j"$(nproc)") | tee "$log" || true
summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1) || true
if [ -z "$summary" ]; then
    echo "test.sh: ctest printed no summary" >&2
    exit 1
fi
total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
failed=$(sed -E 's/.*, ([0-9]+) tests failed.*/\1/' <<<"$summary")

echo
echo "Sanitizer build (build-asan)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGORBECK_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$(nproc)" --target gorbeck cpu_tests failing_glew
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# glfwTerminate unloads Mesa's driver, and the blocks the driver still holds then look
# leaked; kept loaded to the end, they stay reachable. ASan's runtime must come first.
GORBECK_PRELOAD="$(gcc -print-file-name=libasan.so) /usr/lib/$(gcc -print-multiarch)/dri/swrast_dri.so"
export GORBECK_PRELOAD

sanitized() {
    local name=$1
    shift
    total=$((total + 1))
    echo "== $name"
    if "$@"; then
        echo "== $name: passed"
    else
        echo "== $name: FAILED"
        failed=$((failed + 1))
    fi
}
sanitized "sanitized CPU tests" bash -c 'cd build-asan/tests && ./cpu_tests --gtest_brief=1'
sanitized "sanitized replay" tests/e2e/short_replay.sh build-asan
sanitized "sanitized fault matrix" tests/e2e/fault_matrix.sh build-asan

echo
echo "$(((total - failed) * 100 / total))% tests passed, $failed tests failed out of $total"
[ "$failed" = 0 ]
