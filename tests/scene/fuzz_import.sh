#!/bin/sh
# Builds the import fuzz target with clang's libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer, replays the inputs that once failed, then fuzzes for a
# bounded time from the reference scenes.
# Usage: fuzz_import.sh SOURCE_DIR WORK_DIR SECONDS TEST_DATA (absolute, or relative to
# SOURCE_DIR)
set -eu
src=$1
work=$2
seconds=$3
case $4 in
/*) testdata=$4 ;;
*) testdata=$src/$4 ;;
esac
if ! command -v clang++-14 >/dev/null 2>&1; then
    echo "clang++-14 is not installed: skipped"
    exit 77
fi

sources="$(ls "$src"/engine/math/*.cpp)
    $src/engine/core/engine.cpp $src/engine/core/errors.cpp $src/engine/core/pass_clock.cpp
    $src/engine/render/build_render_data.cpp $src/engine/link/link.cpp
    $(ls "$src"/engine/scene/*.cpp) $src/tests/scene/fuzz/import_fuzzer.cpp"
fuzzer=$work/import_fuzzer
mkdir -p "$work"
stale=no
[ -x "$fuzzer" ] || stale=yes
for f in $sources $(ls "$src"/engine/*/*.hpp); do
    [ "$f" -nt "$fuzzer" ] && stale=yes
done
if [ $stale = yes ]; then
    clang++-14 -std=c++17 -O1 -g -fno-omit-frame-pointer \
        -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
        -I"$src" $sources -l3ds -o "$fuzzer"
fi

# Leaks count as failures; UBSan stops at its first report.
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

"$fuzzer" -runs=0 "$src"/tests/scene/regressions/

corpus=$work/corpus
mkdir -p "$corpus"
cp "$testdata"/3ds/*.3ds "$testdata"/3ds/*.3DS "$corpus"/
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=32768 \
    -artifact_prefix="$work/" -print_final_stats=1 "$corpus"
