#!/usr/bin/env bash
# Builds everything (the data set included) and plays the show from the data folder; any
# arguments go to the show (./scripts/play.sh --window --zoom 2).
source "$(dirname "$0")/common.sh"
cd "$build_dir/data"
exec ../demo "$@"
