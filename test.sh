#!/bin/bash
# Installs what is missing, checks the formatting, builds, and runs every test. Tests that
# need a display start their own Xvfb. Then builds the game again with AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan) and runs the CPU tests, a short replay and the
# fault matrix there. Exits with ctest's own status when ctest failed, else 1 when a
# sanitizer run failed.
set -euo pipefail
cd "$(dirname "$0")"

./tools/install-deps.sh
echo "Formatting (clang-format, .clang-format)"
git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format --dry-run -Werror
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"

ctest_status=0
(cd build && ctest --output-on-failure -j"$(nproc)") || ctest_status=$?

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

failed=0
sanitized() {
    local name=$1
    shift
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
echo "ctest: $([ "$ctest_status" = 0 ] && echo passed || echo "FAILED (status $ctest_status)"); sanitizer runs: $failed of 3 failed"
[ "$ctest_status" = 0 ] || exit "$ctest_status"
[ "$failed" = 0 ]
