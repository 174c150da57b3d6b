#!/usr/bin/env bash
# Builds the show for web browsers into build-web/site/ (the page, its script, the programs
# in WebAssembly and the data set), and demo-capture for node into build-web/. The data set
# comes from the processor's build (its generator); the C libraries from Debian's source
# packages, built with emscripten once and kept in build-web/prefix/.
KORVID_BUILD_TARGETS=${KORVID_BUILD_TARGETS:-"dataset demo demo-clock web-image-hashes"}
source "$(dirname "$0")/common.sh"

install_missing emscripten nodejs xz-utils bzip2 patch make

web_dir=$PWD/build-web
web_prefix=$web_dir/prefix
# This emscripten needs node's own modules (acorn), and reads files without fetch().
export NODE_PATH=/usr/share/nodejs
export NODE_OPTIONS=--no-experimental-fetch

source scripts/web_libraries.sh
build_web_libraries

emcmake cmake -S . -B "$web_dir" -DCMAKE_BUILD_TYPE=Release -DKORVID_WEB_PREFIX="$web_prefix" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v node)" -DKORVID_NATIVE_BUILD="$PWD/$build_dir"
cmake --build "$web_dir" -j "$(nproc)"

# The site: the page and its script, the three programs, and the data set with its list.
site=$web_dir/site
rm -rf "$site"
mkdir -p "$site/data"
cp web/site/* "$site/"
cp "$web_dir"/page/*.js "$web_dir"/page/*.wasm "$site/"
for folder in img img2 3ds music; do
    cp -r "$build_dir/data/$folder" "$site/data/"
done
(
    cd "$site/data"
    first=1
    printf '['
    find img img2 3ds music -type f | LC_ALL=C sort | while read -r file; do
        [ $first = 1 ] || printf ','
        first=0
        printf '\n  {"path": "%s", "bytes": %s}' "$file" "$(stat -c %s "$file")"
    done
    printf '\n]\n'
) >"$site/data/files.json"
echo "The show for web browsers is in $site (serve it with: python3 -m http.server -d $site)"
