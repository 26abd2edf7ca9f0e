#!/usr/bin/env bash
# Usage: scripts/wine-window-test.sh LINUX_BUILD WINDOWS_BUILD [PICTURES]
# Drives the Windows editor, quorvel.exe, in real windows: Wine in a virtual X display (Xvfb),
# keys and clicks sent by xdotool, every window checked against its table and every file it
# writes compared with quorvel-cli's (tests/win32/window_driver.cpp). Every gesture with
# Windows-1252; a phrase in Cyrillic with Windows-1251; then each window once more on a screen
# of 144 dpi, its placement and font scaled by 1.5. The caller sets up WINEPREFIX as
# scripts/windows-test.sh does and has no Wine running: Wine's services start here, on the
# virtual display. Given PICTURES, the four windows are opened at 96 dpi too, and a picture
# of each at both resolutions is saved in that folder (main-96dpi.png, main-144dpi.png...).
set -euo pipefail

samples=$(realpath "$1")/samples
windows=$(realpath "$2")
pictures=${3:+$(realpath -m "$3")}
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
wineserver -p
/usr/lib/wine/wine64 cmd.exe /c exit </dev/null >/dev/null 2>&1

# One round in a folder of its own, under the locale that gives Wine its code page. Wine's
# own remarks on standard error are shown only when the round fails.
drive() {
    local round=$1 locale=$2
    shift 2
    mkdir "$work/$round"
    env LANG="$locale" LC_ALL="$locale" /usr/lib/wine/wine64 \
        "$windows/tests/win32/window_driver.exe" "$windows/src/win32/quorvel.exe" \
        "$windows/src/cli/quorvel-cli.exe" "$samples" "$work/$round" "$@" \
        </dev/null 2>"$work/$round.err" || { cat "$work/$round.err" >&2; return 1; }
}
# Wine's screen resolution, read by each program as it starts.
dpi() {
    /usr/lib/wine/wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
        /d "$1" /f >/dev/null 2>&1
}
dpi 96
drive latin C.UTF-8
drive cyrillic ru_RU.UTF-8 cyrillic
if [ -n "$pictures" ]; then
    mkdir -p "$pictures"
    drive plain C.UTF-8 windows "$pictures"
fi
dpi 144
drive scaled C.UTF-8 windows ${pictures:+"$pictures"}
dpi 96
