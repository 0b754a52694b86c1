#!/bin/sh
# Builds the fuzzer with clang in its own build folder and runs it for a bounded time.
# usage: RunFuzz.sh <fuzz source folder> <build folder> <seconds>
# Exits 77 (reported as skipped) when clang or libFuzzer is not available.
set -u
source_dir=$1
build_dir=$2
seconds=$3

if ! command -v clang++ >/dev/null 2>&1; then
    echo "clang++ not found: fuzzing skipped"
    exit 77
fi
if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' |
    clang++ -x c++ -fsanitize=fuzzer - -o "${TMPDIR:-/tmp}/tavlen-fuzz-probe.$$" 2>/dev/null; then
    echo "clang++ cannot build libFuzzer targets: fuzzing skipped"
    exit 77
fi
rm -f "${TMPDIR:-/tmp}/tavlen-fuzz-probe.$$"

cmake -S "$source_dir" -B "$build_dir" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
    >"$build_dir.configure.log" 2>&1 || { cat "$build_dir.configure.log"; exit 1; }
cmake --build "$build_dir" -j2 || exit 1

mkdir -p "$build_dir/corpus"
exec "$build_dir/source_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=65536 "$build_dir/corpus" "$source_dir/seeds"
