#!/usr/bin/env bash
# Builds everything and runs the whole test suite, then builds the show for web browsers
# and runs its tests.
source "$(dirname "$0")/common.sh"
(cd "$build_dir" && ctest --output-on-failure -j "$(nproc)" --timeout 900)
scripts/web.sh
scripts/web_test.sh
