#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the real-window checks need (the
# window's phrase list is read as a screen reader reads it, through the accessibility bus).
# Run as root on Debian 12; as another user it only says what is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build qt6-base-dev fonts-dejavu-core
    libgtest-dev libbenchmark-dev libcli11-dev
    libxcb1-dev xvfb xauth xdotool imagemagick qt6-wayland
    dbus-daemon at-spi2-core python3-pyatspi
    clang libclang-rt-14-dev
)
# Speech: espeak-ng and its data, PulseAudio's client library; a sound server, its tools and
# sox for the playback check (scripts/speech-playback.sh).
packages+=(libespeak-ng-dev espeak-ng-data libpulse-dev pulseaudio pulseaudio-utils sox)
# The Windows cross build, its tests under Wine (its windows in Xvfb), and the Windows zip.
packages+=(g++-mingw-w64-x86-64-posix wine wine64 fonts-wine zip)
# The Debian package and its checks (scripts/package.sh, scripts/package-check.sh).
packages+=(
    qt6-svg-dev dpkg-dev lintian desktop-file-utils appstream
    shared-mime-info libglib2.0-bin xdg-utils man-db
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages: ${missing[*]}" >&2
    echo "Install them as root: apt-get install --no-install-recommends ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
