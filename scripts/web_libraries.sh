# Sourced by web.sh: the C libraries of the browser build, from Debian's source packages,
# built static with emscripten into "$web_prefix". Each library is fetched with apt-get
# source into "$web_dir/src", unpacked with Debian's patches applied, built once and then
# kept: a stamp in "$web_prefix/stamps" names the source package it was built from.

web_src="$web_dir/src"
mkdir -p "$web_src" "$web_prefix/stamps" "$web_prefix/include" "$web_prefix/lib"

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

# Unpacks source package $1 into "$web_src/$1" and prints that folder. The original
# tarball must arrive; Debian's own tarball and its patches are applied when the archive
# has them (the archive lacks some, such as lib3ds's, and dpkg-source then gives up).
fetch_source() {
    local package=$1 dir="$web_src/$1" download="$web_src/download-$1"
    rm -rf "$dir" "$download"
    mkdir -p "$download"
    (cd "$download" && apt-get source --download-only -qq "$package" >&2) ||
        echo "web.sh: some files of $package are missing from the archive" >&2
    local orig
    orig=$(find "$download" -maxdepth 1 -name '*.orig.tar.*' ! -name '*.asc' | head -n 1)
    if [ -z "$orig" ]; then
        echo "web.sh: apt-get source $package brought no source tarball" >&2
        return 1
    fi
    mkdir -p "$dir"
    tar -xf "$orig" -C "$dir" --strip-components=1
    local debian
    debian=$(find "$download" -maxdepth 1 -name '*.debian.tar.*' | head -n 1)
    if [ -n "$debian" ]; then
        tar -xf "$debian" -C "$dir"
        if [ -f "$dir/debian/patches/series" ]; then
            local patch
            while read -r patch _; do
                case "$patch" in '' | '#'*) continue ;; esac
                patch -d "$dir" -p1 -s -N <"$dir/debian/patches/$patch" >&2
            done <"$dir/debian/patches/series"
        fi
    fi
    basename "$(find "$download" -maxdepth 1 -name '*.dsc' | head -n 1)" .dsc >"$dir/.package"
    rm -rf "$download"
    echo "$dir"
}

built() {
    [ -f "$web_prefix/stamps/$1" ]
}

stamp() {
    cp "$web_src/$1/.package" "$web_prefix/stamps/$1"
    rm -rf "${web_src:?}/$1"
}

# emcmake's configure checks run their test programs under node.
emulator=$(command -v node)
em_cmake_options=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$web_prefix"
    -DCMAKE_PREFIX_PATH="$web_prefix" -DCMAKE_FIND_ROOT_PATH="$web_prefix"
    -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator" -DBUILD_SHARED_LIBS=OFF)

build_zlib() {
    local dir
    dir=$(fetch_source zlib)
    (cd "$dir" && CFLAGS=-O2 emconfigure ./configure --static --prefix="$web_prefix" &&
        emmake make -j2 libz.a) >"$web_dir/logs/zlib.log" 2>&1
    cp "$dir/libz.a" "$web_prefix/lib/"
    cp "$dir/zlib.h" "$dir/zconf.h" "$web_prefix/include/"
    stamp zlib
}

build_libpng() {
    local dir
    dir=$(fetch_source libpng1.6)
    emcmake cmake -S "$dir" -B "$dir/build" "${em_cmake_options[@]}" -DPNG_SHARED=OFF \
        -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DPNG_HARDWARE_OPTIMIZATIONS=OFF \
        -DZLIB_LIBRARY="$web_prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$web_prefix/include" \
        -Dld-version-script=OFF >"$web_dir/logs/libpng.log" 2>&1
    cmake --build "$dir/build" -j2 --target install >>"$web_dir/logs/libpng.log" 2>&1
    stamp libpng1.6
}

build_libjpeg() {
    local dir
    dir=$(fetch_source libjpeg-turbo)
    emcmake cmake -S "$dir" -B "$dir/build" "${em_cmake_options[@]}" -DENABLE_SHARED=OFF \
        -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF -DCMAKE_INSTALL_LIBDIR=lib \
        >"$web_dir/logs/libjpeg-turbo.log" 2>&1
    cmake --build "$dir/build" -j2 --target jpeg-static >>"$web_dir/logs/libjpeg-turbo.log" 2>&1
    cp "$dir/build/libjpeg.a" "$web_prefix/lib/"
    cp "$dir/jpeglib.h" "$dir/jmorecfg.h" "$dir/jerror.h" "$dir/build/jconfig.h" \
        "$web_prefix/include/"
    stamp libjpeg-turbo
}

# The generic decoder in floating point, without fast maths: its samples are the same
# bit for bit as those of the generic decoder on the processor.
build_mpg123() {
    local dir
    dir=$(fetch_source mpg123)
    (cd "$dir" && CFLAGS="-O2 -fno-fast-math" emconfigure ./configure --prefix="$web_prefix" \
        --with-cpu=generic_fpu --disable-shared --enable-static --disable-modules \
        --disable-network --with-audio=dummy --with-default-audio=dummy &&
        emmake make -j2 src/libmpg123/libmpg123.la) >"$web_dir/logs/mpg123.log" 2>&1
    cp "$dir/src/libmpg123/.libs/libmpg123.a" "$web_prefix/lib/"
    cp "$dir/src/libmpg123/mpg123.h" "$dir/src/libmpg123/fmt123.h" "$web_prefix/include/"
    stamp mpg123
}

build_lib3ds() {
    local dir
    dir=$(fetch_source lib3ds)
    (cd "$dir" && CFLAGS=-O2 emconfigure ./configure --prefix="$web_prefix" --disable-shared \
        --enable-static && emmake make -C lib3ds -j2 && emmake make -C lib3ds install) \
        >"$web_dir/logs/lib3ds.log" 2>&1
    stamp lib3ds
}

# SDL 1.2's own headers, for the project's SDL layer; nothing of SDL is compiled.
fetch_sdl_headers() {
    local dir
    dir=$(fetch_source libsdl1.2)
    rm -rf "$web_prefix/include/SDL"
    mkdir -p "$web_prefix/include/SDL"
    cp "$dir"/include/*.h "$web_prefix/include/SDL/"
    # The layer's configuration for the browser replaces SDL's, which a configure run would write.
    rm -f "$web_prefix/include/SDL/SDL_config.h"
    stamp libsdl1.2
}

build_web_libraries() {
    mkdir -p "$web_dir/logs"
    local library
    for library in zlib libpng1.6 libjpeg-turbo mpg123 lib3ds libsdl1.2; do
        built "$library" && continue
        ensure_deb_src
        echo "Building $library for the browser (log: $web_dir/logs/)"
        case "$library" in
        zlib) build_zlib ;;
        libpng1.6) build_libpng ;;
        libjpeg-turbo) build_libjpeg ;;
        mpg123) build_mpg123 ;;
        lib3ds) build_lib3ds ;;
        libsdl1.2) fetch_sdl_headers ;;
        esac
    done
}
