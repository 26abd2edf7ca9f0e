#!/usr/bin/env bash
# Runs the editor in a real X window on a virtual display, opens a sample voice through
# File > Open by keyboard, and takes a picture of the window.
#
#   scripts/real-window.sh [BUILD_DIR] [PICTURE]     (build/default, docs/screenshot.png)
#
# Builds nothing: build the quorvel and samples targets of BUILD_DIR first. Exits non-zero
# when the window, the dialog or the picture does not come.
set -euo pipefail

if [ "${1:-}" = --inside ]; then
    # Runs under xvfb-run: no window manager, so every window gets the keyboard by hand.
    editor=$2 sample=$3 picture=$4
    XDG_RUNTIME_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR
    "$editor" &
    pid=$!
    trap 'kill "$pid" 2>/dev/null || true; rm -rf "$XDG_RUNTIME_DIR"' EXIT

    wid=$(timeout 20 xdotool search --sync --name '^Quorvel v2\.51$' | head -n 1) || true
    if [ -z "$wid" ]; then
        echo "The editor's window never appeared." >&2
        exit 1
    fi
    xdotool windowfocus --sync "$wid"
    xdotool key alt+f
    sleep 0.5
    xdotool key o

    dialog=$(timeout 10 xdotool search --sync --name '^Open Garmin TTS Voice File' |
        head -n 1) || true
    if [ -z "$dialog" ]; then
        echo "The File > Open dialog never appeared." >&2
        exit 1
    fi
    xdotool windowfocus --sync "$dialog"
    sleep 0.5
    xdotool type --delay 15 "$sample"
    xdotool key Return
    for _ in $(seq 50); do
        xdotool search --name '^Open Garmin TTS Voice File' >/dev/null || break
        sleep 0.2
    done

    # Select a phrase, so the picture shows a selection too.
    xdotool windowfocus --sync "$wid"
    xdotool key Down Down Down
    sleep 0.5
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$picture"

    xdotool key alt+f
    sleep 0.3
    xdotool key x
    for _ in $(seq 25); do
        kill -0 "$pid" 2>/dev/null || exit 0
        sleep 0.2
    done
    echo "The editor did not end after File > Exit." >&2
    exit 1
fi

self=$(realpath "$0")
cd "$(dirname "$self")/.."
build=${1:-build/default}
picture=${2:-docs/screenshot.png}
editor=$build/src/qt/quorvel
sample=$build/samples/nuvi_7x0.vpm
for needed in "$editor" "$sample"; do
    if [ ! -e "$needed" ]; then
        echo "$needed is missing: build the quorvel and samples targets first." >&2
        exit 1
    fi
done
mkdir -p "$(dirname "$picture")"
xvfb-run -a -s "-screen 0 1024x768x24" "$self" --inside "$(realpath "$editor")" \
    "$(realpath "$sample")" "$(realpath -m "$picture")"
[ -s "$picture" ] || {
    echo "No picture was taken." >&2
    exit 1
}
echo "Picture of the window: $picture"
