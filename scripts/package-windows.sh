#!/usr/bin/env bash
# Usage: scripts/package-windows.sh [BUILD_DIR]
# Writes BUILD_DIR/quorvel-cli-VERSION-windows-x64.zip: quorvel-cli.exe, the README and the
# licence (LICENSE, when the source tree has one). BUILD_DIR (default build/windows) is the
# cross build that scripts/windows-test.sh makes. The program is linked statically: it may
# use only DLLs that every Windows has, and the script checks that.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/windows}
exe=$build/src/cli/quorvel-cli.exe
[ -f "$exe" ] || { echo "$exe is missing: run scripts/windows-test.sh first." >&2; exit 2; }

dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | sort -u)
foreign=$(grep -viE '^(kernel32|msvcrt|shell32|user32|advapi32|ws2_32)\.dll$' <<<"$dlls" || true)
if [ -n "$foreign" ]; then
    echo "quorvel-cli.exe needs DLLs that Windows does not have: $foreign" >&2
    exit 1
fi

# The version the build compiled in (-DQUORVEL_VERSION=\"2.05.0001\").
version=$(grep -o 'QUORVEL_VERSION=[^ ]*' "$build/compile_commands.json" | head -1 | tr -dc '0-9.')
zip=$PWD/$build/quorvel-cli-$version-windows-x64.zip
staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
cp "$exe" README.md "$staging/"
if [ -f LICENSE ]; then
    cp LICENSE "$staging/"
else
    echo "There is no LICENSE file yet: the zip holds no licence." >&2
fi
rm -f "$zip"
(cd "$staging" && zip -q -X "$zip" ./*)
echo "Wrote $zip ($(du -k "$zip" | cut -f1) KiB): $(cd "$staging" && echo ./* | sed 's|\./||g')"
