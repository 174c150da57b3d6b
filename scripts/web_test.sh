#!/usr/bin/env bash
# Runs the browser build's tests, in node and in headless Chromium, on what scripts/web.sh
# built into build-web/.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
install_missing chromium nodejs
export NODE_OPTIONS=--no-experimental-fetch
ctest --test-dir build-web --output-on-failure -j "$(nproc)" --timeout 900
