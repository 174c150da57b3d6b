# Sourced by web.sh: the C libraries of the browser build, from Debian's source packages,
# built static with emscripten into "$web_prefix". Each library is fetched with apt-get
# source into "$web_dir/src", unpacked with Debian's patches applied, built once and then
# kept: a stamp in "$web_prefix/stamps" names the source package it was built from.

web_src="$web_dir/src"
web_logs="$web_dir/logs"
mkdir -p "$web_src" "$web_logs" "$web_prefix/stamps" "$web_prefix/include" "$web_prefix/lib"

# apt-get source needs a deb-src line; a fresh Debian 12 has none.
ensure_deb_src() {
    if grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        return
    fi
    echo "Adding Debian's source packages (bookworm) to apt's sources"
    echo "deb-src http://deb.debian.org/debian bookworm main" \
        >/etc/apt/sources.list.d/korvid-deb-src.list
    apt-get update -qq
}

# Unpacks source package $1 into "$web_src/$1". The original tarball must arrive; Debian's
# own tarball and its patches are applied when the archive has them (it lacks some, such
# as lib3ds's, and then dpkg-source gives up on the package).
fetch_source() {
    local package=$1 dir="$web_src/$1" download="$web_src/download-$1"
    rm -rf "$dir" "$download"
    mkdir -p "$download"
    (cd "$download" && apt-get source --download-only -qq "$package" >"$web_logs/$package.log" 2>&1) ||
        echo "web.sh: some files of $package are missing from the archive"
    local orig debian patch
    orig=$(find "$download" -maxdepth 1 -name '*.orig.tar.*' ! -name '*.asc' | head -n 1)
    if [ -z "$orig" ]; then
        echo "web.sh: apt-get source $package brought no source tarball (log: $web_logs/$package.log)"
        return 1
    fi
    mkdir -p "$dir"
    tar -xf "$orig" -C "$dir" --strip-components=1
    debian=$(find "$download" -maxdepth 1 -name '*.debian.tar.*' | head -n 1)
    if [ -n "$debian" ]; then
        tar -xf "$debian" -C "$dir"
        if [ -f "$dir/debian/patches/series" ]; then
            while read -r patch _; do
                case "$patch" in '' | '#'*) continue ;; esac
                patch -d "$dir" -p1 -s -N <"$dir/debian/patches/$patch"
            done <"$dir/debian/patches/series"
        fi
    fi
    basename "$(find "$download" -maxdepth 1 -name '*.dsc' | head -n 1)" .dsc >"$dir/.package"
    rm -rf "$download"
}

built() {
    [ -f "$web_prefix/stamps/$1" ]
}

stamp() {
    cp "$web_src/$1/.package" "$web_prefix/stamps/$1"
    rm -rf "${web_src:?}/$1"
}

# emcmake's configure checks run their test programs under node.
em_cmake_options=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$web_prefix"
    -DCMAKE_PREFIX_PATH="$web_prefix" -DCMAKE_FIND_ROOT_PATH="$web_prefix"
    -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v node)" -DBUILD_SHARED_LIBS=OFF)

build_zlib() {
    local dir=$web_src/zlib
    (cd "$dir" && CFLAGS=-O2 emconfigure ./configure --static --prefix="$web_prefix" &&
        emmake make -j2 libz.a)
    cp "$dir/libz.a" "$web_prefix/lib/"
    cp "$dir/zlib.h" "$dir/zconf.h" "$web_prefix/include/"
}

build_libpng1.6() {
    local dir=$web_src/libpng1.6
    emcmake cmake -S "$dir" -B "$dir/build" "${em_cmake_options[@]}" -DPNG_SHARED=OFF \
        -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DPNG_HARDWARE_OPTIMIZATIONS=OFF \
        -DZLIB_LIBRARY="$web_prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$web_prefix/include" \
        -Dld-version-script=OFF
    cmake --build "$dir/build" -j2 --target install
}

build_libjpeg-turbo() {
    local dir=$web_src/libjpeg-turbo
    emcmake cmake -S "$dir" -B "$dir/build" "${em_cmake_options[@]}" -DENABLE_SHARED=OFF \
        -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF
    cmake --build "$dir/build" -j2 --target jpeg-static
    cp "$dir/build/libjpeg.a" "$web_prefix/lib/"
    cp "$dir/jpeglib.h" "$dir/jmorecfg.h" "$dir/jerror.h" "$dir/build/jconfig.h" \
        "$web_prefix/include/"
}

# The generic decoder in floating point, without fast maths: its samples are the same
# bit for bit as those of the generic decoder on the processor.
build_mpg123() {
    local dir=$web_src/mpg123
    (cd "$dir" && CFLAGS="-O2 -fno-fast-math" emconfigure ./configure --prefix="$web_prefix" \
        --with-cpu=generic_fpu --disable-shared --enable-static --disable-modules \
        --disable-network --with-audio=dummy --with-default-audio=dummy &&
        emmake make -j2 src/libmpg123/libmpg123.la)
    cp "$dir/src/libmpg123/.libs/libmpg123.a" "$web_prefix/lib/"
    cp "$dir/src/libmpg123/mpg123.h" "$dir/src/libmpg123/fmt123.h" "$web_prefix/include/"
}

build_lib3ds() {
    local dir=$web_src/lib3ds
    (cd "$dir" && CFLAGS=-O2 emconfigure ./configure --prefix="$web_prefix" --disable-shared \
        --enable-static && emmake make -C lib3ds -j2 && emmake make -C lib3ds install)
}

# SDL 1.2's own headers, for the project's SDL layer; nothing of SDL is compiled. The
# layer's configuration for the browser stands in for the one SDL's configure would write.
build_libsdl1.2() {
    local dir=$web_src/libsdl1.2
    rm -rf "$web_prefix/include/SDL"
    mkdir -p "$web_prefix/include/SDL"
    cp "$dir"/include/*.h "$web_prefix/include/SDL/"
    rm -f "$web_prefix/include/SDL/SDL_config.h"
}

# Builds the libraries named, one after the other, each unless it is built already; false
# at the first that fails.
build_in_turn() {
    local library
    for library in "$@"; do
        built "$library" && continue
        echo "Building $library for the browser (log: $web_logs/$library.log)"
        # In a subshell of its own, so that its first failing command ends it.
        set +e
        (
            set -e
            "build_$library"
        ) >>"$web_logs/$library.log" 2>&1
        local status=$?
        set -e
        if [ $status -ne 0 ]; then
            echo "web.sh: building $library failed; the end of its log:"
            tail -n 20 "$web_logs/$library.log"
            return 1
        fi
        stamp "$library"
    done
}

build_web_libraries() {
    local libraries=(zlib libpng1.6 libjpeg-turbo mpg123 lib3ds libsdl1.2) missing=() library
    for library in "${libraries[@]}"; do
        built "$library" || missing+=("$library")
    done
    [ ${#missing[@]} -eq 0 ] && return
    ensure_deb_src
    for library in "${missing[@]}"; do
        fetch_source "$library"
    done
    # Configure scripts run on one core: two lines of builds side by side, libpng after
    # the zlib it needs.
    build_in_turn zlib libpng1.6 lib3ds libsdl1.2 &
    local first=$!
    build_in_turn libjpeg-turbo mpg123 &
    local second=$!
    local status=0
    wait "$first" || status=1
    wait "$second" || status=1
    return $status
}
