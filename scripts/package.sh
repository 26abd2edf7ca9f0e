#!/usr/bin/env bash
# Builds the Debian package: a Release build with Debian's own compiler and linker flags
# (hardening included) and without the tests, installed into the package by CPack.
#
#   scripts/package.sh [BUILD_DIR]      (build/package; the package is written there)
#
# A BUILD_DIR configured before is built further, not configured again.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/package}

scripts/install-deps.sh
if [ ! -f "$build/CMakeCache.txt" ]; then
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    # CMake reads no CPPFLAGS: Debian's preprocessor flags (_FORTIFY_SOURCE) go with CXXFLAGS.
    CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
        LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
        cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
        -DQUORVEL_WITH_TESTS=OFF -DQUORVEL_WITH_BENCH=OFF
fi
nice cmake --build "$build"
rm -f "$build"/quorvel_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/quorvel_*.deb
