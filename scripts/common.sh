# Shared by the set-up commands: install what is missing, then build everything.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake pkg-config libsdl1.2-compat-dev libsdl-image1.2-dev lib3ds-dev
    libmpg123-dev libpng-dev libgif-dev libjpeg-dev libmp3lame-dev libfreetype-dev
    fonts-dejavu-core libgtest-dev libbenchmark-dev ffmpeg xvfb xdotool valgrind clang-14 libclang-rt-14-dev
    dpkg-dev lintian)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}"
fi

build_dir=${KORVID_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_dir" -j "$(nproc)"
