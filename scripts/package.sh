#!/usr/bin/env bash
# Builds everything and makes the release archives and the Debian packages in
# <build>/packages.
source "$(dirname "$0")/common.sh"
cd "$build_dir"
cpack -G "TGZ;DEB" -B packages
ls -l packages/*.deb packages/*.tar.gz
