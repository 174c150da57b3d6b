# Shared by the set-up commands: install what is missing, then build everything (or only
# the targets named in KORVID_BUILD_TARGETS).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake pkg-config libsdl1.2-compat-dev libsdl-image1.2-dev lib3ds-dev
    libmpg123-dev libpng-dev libgif-dev libjpeg-dev libmp3lame-dev libfreetype-dev
    fonts-dejavu-core libgtest-dev libbenchmark-dev ffmpeg xvfb xdotool valgrind clang-14 libclang-rt-14-dev
    dpkg-dev lintian)

source scripts/packages.sh
install_missing "${packages[@]}"

build_dir=${KORVID_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ -n "${KORVID_BUILD_TARGETS:-}" ]; then
    # shellcheck disable=SC2086
    cmake --build "$build_dir" -j "$(nproc)" --target $KORVID_BUILD_TARGETS
else
    cmake --build "$build_dir" -j "$(nproc)"
fi
