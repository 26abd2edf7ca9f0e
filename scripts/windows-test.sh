#!/usr/bin/env bash
# Cross-builds the core, the program layer, quorvel-cli, the editor quorvel.exe and their
# tests for 64-bit Windows with MinGW-w64 into build/windows, and runs the tests under Wine,
# headless, in a Wine prefix of its own under the build folder. Then compares the Windows
# quorvel-cli with the Linux one built in build/default (scripts/compare-cli.sh), and drives
# quorvel.exe in real windows (scripts/wine-window-test.sh), saving a picture of each window
# into the folder PICTURES when given.
#
#   scripts/windows-test.sh [PICTURES]
set -euo pipefail
pictures=${1:+$(realpath -m "$1")}
cd "$(dirname "$0")/.."

build=build/windows
start=$(date +%s)

# Wine, headless and the same on every machine, in a prefix of its own, set up before the
# build runs its first Windows program (the sample writer). Its services are started here,
# outside ctest: the first test to start them would lend them its output, and ctest would
# wait for it.
export WINEPREFIX=$PWD/$build/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8 LC_ALL=C.UTF-8
export HOME=$PWD/$build/home XDG_CONFIG_HOME=$PWD/$build/home/.config
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$HOME"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1
    wineserver -w
fi
# For real windows: Wine places and activates them itself (no window manager runs in Xvfb),
# and finds the fonts-wine fonts ("MS Sans Serif" among them) where Windows keeps its own.
if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg"; then
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wineserver -w
fi
cp -u /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
/usr/lib/wine/wine64 cmd.exe /c exit </dev/null >/dev/null 2>&1

scripts/windows-configure.sh "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST
nice cmake --build "$build"

# The runs Wine ended early and scripts/wine-test.sh ran again.
export QUORVEL_WINE_REPEATS=$PWD/$build/wine-repeats.txt
rm -f "$QUORVEL_WINE_REPEATS"
nice ctest --test-dir "$build" --output-on-failure -j 2
# The code page follows Windows' own: 1251 where LANG selects it, and 1252 where the system's
# is not a single-byte one (932 for Japanese).
for lang in ru_RU.UTF-8 ja_JP.UTF-8; do
    LANG=$lang LC_ALL=$lang scripts/wine-test.sh "$build/tests/ui_tests.exe" \
        --gtest_filter='Codepage.windows_125*:Codepage.every_byte*' --gtest_brief=1 </dev/null
done
scripts/compare-cli.sh build/default "$build"
wineserver -k
wineserver -w
scripts/wine-window-test.sh build/default "$build" ${pictures:+"$pictures"}
if [ -f "$QUORVEL_WINE_REPEATS" ]; then
    echo "Test runs Wine ended early, each run again: $(wc -l <"$QUORVEL_WINE_REPEATS")"
    sed 's/^/    /' "$QUORVEL_WINE_REPEATS"
fi
echo "The Windows build's tests passed under Wine in $(($(date +%s) - start)) s."
