#!/usr/bin/env bash
# Usage: scripts/windows-configure.sh BUILD_DIR [CMAKE_ARGUMENTS...]
# Configures a cross build for 64-bit Windows with Debian's MinGW-w64 in BUILD_DIR, warnings
# as errors, without Qt. The target's own libraries go to BUILD_DIR/prefix: CLI11's headers,
# and GoogleTest from Debian's sources unless -DQUORVEL_WITH_TESTS=OFF is given (the host's
# /usr/include cannot be given to the cross compiler as a whole).
set -euo pipefail
cd "$(dirname "$0")/.."

build=$1
shift
prefix=$PWD/$build/prefix
toolchain=$PWD/cmake/mingw-w64-x86_64.cmake

if [[ " $* " != *" -DQUORVEL_WITH_TESTS=OFF "* && ! -f $prefix/lib/libgtest.a ]]; then
    nice cmake -S /usr/src/googletest -B "$build/googletest" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF \
        -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
    nice cmake --build "$build/googletest" >/dev/null
    cmake --install "$build/googletest" >/dev/null
fi
mkdir -p "$prefix/include" "$prefix/share/cmake"
cp -r /usr/include/CLI "$prefix/include/"
cp -r /usr/share/cmake/CLI11 "$prefix/share/cmake/"

nice cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DQUORVEL_WINDOWS_PREFIX="$prefix" -DQUORVEL_WERROR=ON \
    -DQUORVEL_WITH_QT=OFF -DQUORVEL_WITH_BENCH=OFF -DQUORVEL_WITH_FUZZ=OFF "$@" >/dev/null
