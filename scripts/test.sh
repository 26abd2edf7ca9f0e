#!/usr/bin/env bash
# Installs what is missing, builds the default and the sanitizer presets and runs every test
# in both, checks the editor in a real X window (and its speech, heard through a sound server
# of its own), builds, installs and checks the Debian package, runs each fuzz target for a
# minute, tests the Windows build under Wine and writes the Windows zip.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
for preset in default asan; do
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done

picture=$(mktemp -d)
trap 'rm -rf "$picture"' EXIT
scripts/real-window.sh build/default "$picture/window.png"
echo "The editor's window came up in a real X server."
scripts/end-to-end.sh build/default
scripts/speech-playback.sh build/default
scripts/package-check.sh build/default
scripts/fuzz.sh 60
scripts/windows-test.sh
scripts/package-windows.sh
