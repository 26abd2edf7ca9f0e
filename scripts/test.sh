#!/usr/bin/env bash
# Installs what is missing, builds the default and the sanitizer presets, runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
for preset in default asan; do
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
