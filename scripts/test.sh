#!/usr/bin/env bash
# Builds everything and runs the whole test suite.
source "$(dirname "$0")/common.sh"
cd "$build_dir"
ctest --output-on-failure -j "$(nproc)" --timeout 900
