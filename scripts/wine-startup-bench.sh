#!/usr/bin/env bash
# Usage: scripts/wine-startup-bench.sh [RUNS]
# The Windows editor's two measures, from the cross build that scripts/windows-test.sh makes
# (build/windows, its Wine prefix included): the size of quorvel.exe stripped, and its start-up
# under Wine in Xvfb beside a bare Win32 window program built the same way, both launched RUNS
# times (default 100) in alternating pairs in one run (bench/win32/startup.cpp), which prints the
# spread of the times and of their ratio. Both run stripped, as the download has them: Wine reads
# a program's debugging sections into memory with the rest of it, and the build's 13 MB
# quorvel.exe took some 20 ms longer to reach its first line than the 0.6 MB one users run.
set -euo pipefail
cd "$(dirname "$0")/.."

build=$PWD/build/windows
runs=${1:-100}
for needed in "$build/src/win32/quorvel.exe" "$build/wine/system.reg"; do
    [ -e "$needed" ] || { echo "$needed is missing: run scripts/windows-test.sh first." >&2; exit 2; }
done
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

nice cmake --build "$build" --target startup_bench >/dev/null
stripped=$(mktemp -d)
x86_64-w64-mingw32-strip -o "$stripped/quorvel.exe" "$build/src/win32/quorvel.exe"
x86_64-w64-mingw32-strip -o "$stripped/bare_window.exe" "$build/bench/win32/bare_window.exe"
echo "quorvel.exe stripped: $(($(stat -c %s "$stripped/quorvel.exe") / 1024)) KiB" \
    "(target at most 1024 KiB)"

export WINEPREFIX=$build/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8 LC_ALL=C.UTF-8 HOME=$build/home XDG_CONFIG_HOME=$build/home/.config
trap 'wineserver -k 2>/dev/null || true; rm -rf "$stripped"' EXIT
# A server of this prefix still ending (the last run's) would refuse to start a new one.
wineserver -k 2>/dev/null || true
wineserver -w
wineserver -p
/usr/lib/wine/wine64 cmd.exe /c exit </dev/null >/dev/null 2>&1
/usr/lib/wine/wine64 "$build/bench/win32/startup_bench.exe" "$stripped/quorvel.exe" Form1 \
    "$stripped/bare_window.exe" BareWindow "$runs" </dev/null
