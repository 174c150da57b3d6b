#!/usr/bin/env bash
# The import fuzz target for as long as one likes (ctest runs it for a few seconds only):
#     scripts/fuzz.sh [SECONDS]    (default 3600)
# It builds in <build>/fuzz (KORVID_BUILD_DIR as for the other scripts), replays
# tests/scene/regressions, then fuzzes from the reference scenes and from what earlier runs
# found. An input that fails is left in <build>/fuzz as crash-*, leak-*, timeout-* or oom-*;
# once the import handles it, keep it in tests/scene/regressions under a name that says
# what it holds.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-3600}
work=${KORVID_BUILD_DIR:-build}/fuzz
case $work in /*) ;; *) work=$PWD/$work ;; esac
if ! command -v clang++-14 >/dev/null 2>&1; then
    echo "fuzz.sh needs clang-14 and libclang-rt-14-dev (scripts/test.sh installs them)" >&2
    exit 1
fi
FUZZ_BUILD_JOBS=$(nproc) exec sh tests/scene/fuzz_import.sh --keep-corpus "$PWD" "$work" "$seconds" \
    "$PWD/tests/data"
