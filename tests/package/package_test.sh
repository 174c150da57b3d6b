#!/usr/bin/env bash
# The install, the packages and the engine for other projects, as a viewer, a packager and
# a programmer meet them. One step a ctest test:
#
#   package_test.sh STEP SOURCE_DIR BUILD_DIR [SDL_FAULTS_LIBRARY RENDER_FRAME_IN_TREE]
#
# install   `cmake --install` into a prefix below the build's scratch folder; what it holds
# golden    the installed demo-capture, run from an empty folder, draws the golden frames
# show      the installed korvid-demo, run from an empty folder, loads the whole data set
# example   examples/render_frame, copied out and built against the installed engine
# headers   every installed header compiles on its own against the installed engine
# packages  cpack makes the release archives and the Debian packages
# control   the Debian packages' control fields and contents
# archive   the release archive plays where it is unpacked
# lintian   lintian finds no error in the Debian packages
set -euo pipefail

step=$1
source=$(cd "$2" && pwd)
build=$(cd "$3" && pwd)
faults=${4:-}
in_tree_example=${5:-}
scratch=$build/test-scratch/package
prefix=$scratch/prefix
packages=$scratch/packages
golden=$source/tests/show/golden_frames.csv
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
mkdir -p "$scratch"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# A fresh, empty folder below the scratch folder.
fresh() {
    rm -rf "${scratch:?}/$1"
    mkdir -p "$scratch/$1"
    echo "$scratch/$1"
}

# Runs demo-capture ($1) from a fresh folder without --data, hashing the frames at the
# golden file's first $2 demo times (all when empty), and compares with the file.
check_golden_frames() {
    local capture=$1 count=${2:-} expected times folder
    expected=$(tail -n +2 "$golden" | head -n "${count:-1000}")
    times=$(echo "$expected" | cut -d, -f1 | paste -sd,)
    folder=$(fresh "golden-$(basename "$(dirname "$(dirname "$capture")")")")
    local status=0
    (cd "$folder" && "$capture" --fps 30 --hash --at "$times" --until "${times##*,}" \
        >frames.csv 2>errors.txt) || status=$?
    [ "$status" -eq 0 ] || fail "$capture exited with $status: $(cat "$folder/errors.txt")"
    [ ! -s "$folder/errors.txt" ] || fail "$capture wrote: $(cat "$folder/errors.txt")"
    diff <(echo "$expected") "$folder/frames.csv" >&2 || fail "frames differ from $golden"
}

# The Debian package of name $1.
deb() {
    local file
    file=$(ls "$packages"/"$1"_*.deb 2>/dev/null | head -n 1)
    [ -n "$file" ] || fail "no $1 package in $packages"
    echo "$file"
}

# Fails unless the comma-separated relation list $1 (a Depends field) names package $2.
names() {
    echo "$1" | tr ',|' '\n\n' | sed 's/(.*)//; s/ //g' | grep -qx "$2" ||
        fail "\"$1\" does not name $2"
}

case $step in
install)
    rm -rf "$prefix"
    cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" ||
        fail "cmake --install failed: $(tail -n 5 "$scratch/install.log")"
    for program in korvid-demo demo-capture demo-clock korvid-play korvid-render korvid-scene; do
        [ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed"
    done
    [ ! -e "$prefix/bin/demo" ] || fail "the show is installed as bin/demo"
    # The data set, byte for byte as the build made it, and nothing else beside it.
    for folder in img img2 3ds music; do
        diff -r "$build/data/$folder" "$prefix/share/korvid/$folder" >&2 ||
            fail "share/korvid/$folder differs from the build's data set"
    done
    [ "$(ls "$prefix/share/korvid")" = "$(printf '3ds\nimg\nimg2\nmusic')" ] ||
        fail "share/korvid holds more than the data set: $(ls "$prefix/share/korvid")"
    for file in share/man/man6/korvid-demo.6.gz share/applications/korvid.desktop \
        share/icons/hicolor/48x48/apps/korvid.png share/icons/hicolor/128x128/apps/korvid.png \
        share/doc/korvid/copyright share/doc/korvid/changelog.gz \
        include/korvid/engine/core/engine.hpp lib/cmake/Korvid/KorvidConfig.cmake \
        lib/cmake/Korvid/KorvidConfigVersion.cmake lib/cmake/Korvid/KorvidTargets.cmake; do
        [ -f "$prefix/$file" ] || fail "$file is not installed"
    done
    for layer in math core scene render link; do
        [ -f "$prefix/lib/libkorvid_$layer.a" ] || fail "lib/libkorvid_$layer.a is not installed"
    done
    # The internals of the import and the renderer stay inside.
    for header in scene/chunk_check.hpp scene/track_convert.hpp render/span_fillers.hpp; do
        [ ! -e "$prefix/include/korvid/engine/$header" ] || fail "$header is installed"
    done
    ;;
golden)
    check_golden_frames "$prefix/bin/demo-capture"
    ;;
show)
    # Quit is reported at the first frame after loading: status 0 and no line only when
    # every file of the data set was found and loaded.
    folder=$(fresh show)
    status=0
    (cd "$folder" && env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy LD_PRELOAD="$faults" \
        KORVID_FAULT=quit_after=1 "$prefix/bin/korvid-demo" >out.txt 2>errors.txt) || status=$?
    [ "$status" -eq 0 ] || fail "korvid-demo exited with $status: $(cat "$folder/errors.txt")"
    [ ! -s "$folder/errors.txt" ] || fail "korvid-demo wrote: $(cat "$folder/errors.txt")"
    ;;
example)
    # A copy outside the source tree, which finds the engine through the prefix alone.
    copy=$(fresh example-source)
    cp -r "$source/examples/render_frame/." "$copy"
    out=$(fresh example-build)
    cmake -S "$copy" -B "$out" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
        >"$out/configure.log" 2>&1 || fail "configure: $(cat "$out/configure.log")"
    cmake --build "$out" -j 2 >"$out/build.log" 2>&1 || fail "build: $(cat "$out/build.log")"
    if grep -e "$source/engine" -e "$build/layers" "$out/compile_commands.json" >&2; then
        fail "the example was compiled with the source tree's headers"
    fi
    input=$source/tests/data/3ds/test1.3ds
    "$out/render_frame" "$input" "$out/frame.bmp" || fail "render_frame failed"
    "$in_tree_example" "$input" "$out/in-tree.bmp" || fail "the build tree's render_frame failed"
    cmp "$out/frame.bmp" "$out/in-tree.bmp" >&2 ||
        fail "the installed engine draws another frame than the build tree's"
    # The scene is drawn, not only the background (three channel values and alpha).
    pixels=$(od -An -tu4 -j 10 -N 4 "$out/frame.bmp" | tr -d ' ')
    values=$(od -An -v -tx1 -j "$pixels" "$out/frame.bmp" | tr -s ' ' '\n' | sort -u | wc -l)
    [ "$values" -gt 32 ] || fail "the frame holds $values byte values: nothing drawn"
    ;;
headers)
    out=$(fresh headers-build)
    cmake -S "$source/tests/package/headers" -B "$out" -DCMAKE_PREFIX_PATH="$prefix" \
        >"$out/configure.log" 2>&1 || fail "configure: $(cat "$out/configure.log")"
    cmake --build "$out" -j 2 >"$out/build.log" 2>&1 || fail "build: $(cat "$out/build.log")"
    ;;
packages)
    rm -rf "$packages"
    (cd "$build" && cpack -G "TGZ;DEB" -B "$packages") >"$scratch/cpack.log" 2>&1 ||
        fail "cpack: $(tail -n 20 "$scratch/cpack.log")"
    for file in "korvid_${version}_" "korvid-dev_${version}_"; do
        ls "$packages/$file"*.deb >/dev/null || fail "no ${file}*.deb"
    done
    for file in "korvid-$version-linux-" "korvid-dev-$version-linux-"; do
        ls "$packages/$file"*.tar.gz >/dev/null || fail "no ${file}*.tar.gz"
    done
    ;;
control)
    runtime=$(deb korvid)
    dev=$(deb korvid-dev)
    field() { dpkg-deb -f "$1" "$2"; }
    [ "$(field "$runtime" Package)" = korvid ] || fail "Package: $(field "$runtime" Package)"
    [ "$(field "$runtime" Version)" = "$version" ] || fail "Version: $(field "$runtime" Version)"
    [ "$(field "$runtime" Architecture)" = "$(dpkg --print-architecture)" ] ||
        fail "Architecture: $(field "$runtime" Architecture)"
    depends=$(field "$runtime" Depends)
    for package in libsdl1.2-compat-shim libsdl-image1.2 lib3ds-1-3 libmpg123-0 libpng16-16 \
        libc6 libstdc++6 libgcc-s1; do
        names "$depends" "$package"
    done
    # A fresh system installs the first alternative: the SDL 1.2 the show is tested on.
    echo "$depends" | grep -q '\(^\|, \)libsdl1.2-compat-shim[^,]*| libsdl1.2debian' ||
        fail "Depends does not put libsdl1.2-compat-shim before libsdl1.2debian: $depends"
    names "$(field "$runtime" Recommends)" ffmpeg
    # Every package whose libraries the programs need, as dpkg-shlibdeps finds them, at
    # least in the version it asks for.
    root=$(fresh runtime-root)
    dpkg-deb -x "$runtime" "$root"
    mkdir -p "$root/debian"
    touch "$root/debian/control"
    needed=$(cd "$root" && dpkg-shlibdeps -O usr/bin/* 2>/dev/null | sed 's/^shlibs:Depends=//')
    [ -n "$needed" ] || fail "dpkg-shlibdeps found no libraries"
    while read -r package relation wanted; do
        names "$depends" "$package"
        [ -n "$wanted" ] || continue
        ours=$(echo "$depends" | tr ',|' '\n\n' | sed -n "s/^ *$package (>= \(.*\))\$/\1/p")
        [ -n "$ours" ] && dpkg --compare-versions "$ours" ge "$wanted" ||
            fail "Depends asks for $package ${ours:-in any version}, the programs need $wanted"
    done < <(echo "$needed" | tr ',|' '\n\n' | sed 's/^ *//; s/[()]//g')
    # What each package holds.
    contents=$(dpkg-deb -c "$runtime" | awk '{print $6}')
    for file in ./usr/bin/korvid-demo ./usr/bin/demo-capture ./usr/share/korvid/music/tune3.mp3 \
        ./usr/share/korvid/3ds/boots.3ds ./usr/share/applications/korvid.desktop \
        ./usr/share/man/man6/korvid-demo.6.gz ./usr/share/doc/korvid/copyright; do
        echo "$contents" | grep -qx "$file" || fail "$runtime lacks $file"
    done
    if echo "$contents" | grep -e '^./usr/include' -e '\.a$' -e 'tests/data' >&2; then
        fail "$runtime holds development or test files"
    fi
    [ "$(field "$dev" Package)" = korvid-dev ] || fail "Package: $(field "$dev" Package)"
    for package in lib3ds-dev libsdl1.2-compat-dev libsdl-image1.2-dev; do
        names "$(field "$dev" Depends)" "$package"
    done
    contents=$(dpkg-deb -c "$dev" | awk '{print $6}')
    for file in ./usr/include/korvid/engine/scene/import.hpp ./usr/lib/libkorvid_render.a \
        ./usr/lib/cmake/Korvid/KorvidConfig.cmake ./usr/share/doc/korvid-dev/copyright; do
        echo "$contents" | grep -qx "$file" || fail "$dev lacks $file"
    done
    ;;
archive)
    unpacked=$(fresh unpacked)
    tar -xzf "$(ls "$packages"/korvid-"$version"-linux-*.tar.gz)" -C "$unpacked"
    top=$(ls "$unpacked")
    [ "$(echo "$top" | wc -l)" -eq 1 ] || fail "the archive has more than one top folder: $top"
    [ -x "$unpacked/$top/bin/korvid-demo" ] || fail "the archive lacks bin/korvid-demo"
    [ ! -e "$unpacked/$top/include" ] || fail "the release archive holds the engine's headers"
    check_golden_frames "$unpacked/$top/bin/demo-capture" 2
    ;;
lintian)
    command -v lintian >/dev/null || fail "lintian is not installed"
    report=$(lintian --tag-display-limit 0 "$(deb korvid)" "$(deb korvid-dev)" 2>&1) || true
    echo "$report"
    if echo "$report" | grep '^E:' >&2; then
        fail "lintian reports errors"
    fi
    ;;
*)
    fail "unknown step $step"
    ;;
esac
