#!/bin/sh
# Builds the import fuzz target (tests/scene/fuzz/CMakeLists.txt) with clang's libFuzzer
# under AddressSanitizer and UndefinedBehaviorSanitizer, replays the inputs that once
# failed, then fuzzes for a bounded time from the reference scenes and what earlier runs
# found. Inputs that fail are written to WORK_DIR as crash-*, leak-*, timeout-* or oom-*.
# Usage: fuzz_import.sh [--keep-corpus] SOURCE_DIR WORK_DIR SECONDS TEST_DATA
# Without --keep-corpus every run starts from the reference scenes alone, so that a short
# run takes the same time however often it has run; with it, what each run finds new is
# kept for the next. FUZZ_BUILD_JOBS sets the build's parallel jobs (default 2).
set -eu
keep=no
if [ "$1" = --keep-corpus ]; then
    keep=yes
    shift
fi
src=$1
work=$2
seconds=$3
testdata=$4
jobs=${FUZZ_BUILD_JOBS:-2}
if ! command -v clang++-14 >/dev/null 2>&1; then
    echo "clang++-14 is not installed: skipped"
    exit 77
fi

# Configured once; from then on the build's own dependency tracking decides what to
# recompile, with ccache where it is installed.
if [ ! -f "$work/CMakeCache.txt" ]; then
    launcher=
    command -v ccache >/dev/null 2>&1 && launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
    cmake -S "$src/tests/scene/fuzz" -B "$work" -DCMAKE_CXX_COMPILER=clang++-14 \
        -DCMAKE_BUILD_TYPE= $launcher >/dev/null
fi
cmake --build "$work" -j "$jobs" >/dev/null
fuzzer=$work/import_fuzzer

# Leaks count as failures; UBSan stops at its first report.
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

"$fuzzer" -runs=0 "$src"/tests/scene/regressions/

# The first folder takes what the run finds new; the reference scenes seed it.
corpus=$work/corpus
[ $keep = yes ] || corpus=$work/short-corpus
[ $keep = yes ] || rm -rf "$corpus"
mkdir -p "$corpus"
cp "$testdata"/3ds/*.3ds "$testdata"/3ds/*.3DS "$corpus"/
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=32768 \
    -artifact_prefix="$work/" -print_final_stats=1 "$corpus"
