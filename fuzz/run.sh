#!/bin/bash
# Builds the fuzz tree (clang, ASan, UBSan, libFuzzer) and fuzzes one target for SECONDS.
#   fuzz/run.sh tangents|mesh_import|replay [SECONDS] [extra libFuzzer flags]
# The growing corpus lives in build-fuzz/corpus/TARGET, crashing inputs in build-fuzz/findings.
set -euo pipefail

target=${1:?usage: fuzz/run.sh tangents|mesh_import|replay [SECONDS]}
seconds=${2:-180}
shift $(($# < 2 ? $# : 2))
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"

CC=clang CXX=clang++ cmake -S "$root/fuzz" -B "$build" >/dev/null
cmake --build "$build" -j2 --target "fuzz_$target" >/dev/null

flags=()
case "$target" in
mesh_import) flags+=(-dict="$root/fuzz/obj.dict" -timeout=10) ;;
replay) flags+=(-dict="$root/fuzz/replay.dict") ;;
esac
mkdir -p "$build/corpus/$target" "$build/findings"
# Standard output is closed: the import prints a line per odd mesh.
LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/fuzz/lsan.supp} \
    exec "$build/fuzz_$target" "${flags[@]}" -max_total_time="$seconds" -close_fd_mask=1 \
    -artifact_prefix="$build/findings/" "$@" "$build/corpus/$target" "$root/fuzz/seeds/$target" </dev/null
