#!/usr/bin/env bash
# Usage: scripts/package-windows.sh
# Writes build/windows-zip/quorvel-VERSION-windows-x64.zip: the editor quorvel.exe and the
# command line quorvel-cli.exe, both stripped, the README and the licence. Builds what it needs
# by itself from the source tree (a release cross build with MinGW-w64 in build/windows-zip,
# without tests). Both programs are linked statically: they may use only DLLs that every
# Windows has, and the script checks that.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/windows-zip
scripts/windows-configure.sh "$build" -DCMAKE_BUILD_TYPE=Release -DQUORVEL_WITH_TESTS=OFF
nice cmake --build "$build" --target quorvel quorvel-cli

staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
for exe in "$build/src/win32/quorvel.exe" "$build/src/cli/quorvel-cli.exe"; do
    name=$(basename "$exe")
    x86_64-w64-mingw32-strip -o "$staging/$name" "$exe"
    dlls=$(x86_64-w64-mingw32-objdump -p "$staging/$name" | sed -n 's/^\s*DLL Name: //p' | sort -u)
    foreign=$(grep -viE '^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|ole32|oleaut32|advapi32|msvcrt|ws2_32)\.dll$' <<<"$dlls" || true)
    if [ -n "$foreign" ]; then
        echo "$name needs DLLs that Windows does not have: $foreign" >&2
        exit 1
    fi
    echo "$name: $(($(stat -c %s "$staging/$name") / 1024)) KiB stripped, uses $(echo $dlls)"
done
cp README.md LICENSE "$staging/"

# The version the build compiled in (-DQUORVEL_VERSION=\"2.05.0001\").
version=$(grep -o 'QUORVEL_VERSION=[^ ]*' "$build/compile_commands.json" | head -1 | tr -dc '0-9.')
zip=$PWD/$build/quorvel-$version-windows-x64.zip
rm -f "$zip"
(cd "$staging" && zip -q -X "$zip" ./*)
echo "Wrote $zip ($(du -k "$zip" | cut -f1) KiB): $(cd "$staging" && echo ./* | sed 's|\./||g')"
