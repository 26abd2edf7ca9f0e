#!/usr/bin/env bash
# Runs the editor in a real X window on a virtual display, opens a sample voice through
# File > Open by keyboard, and takes a picture of the window. Given POINTS, the desktop's
# default font has that size.
#
#   scripts/real-window.sh [BUILD_DIR] [PICTURE] [POINTS]   (build/default, docs/screenshot.png)
#
# Builds nothing: build the quorvel and samples targets of BUILD_DIR first. Exits non-zero
# when the window, the dialog or the picture does not come.
set -euo pipefail

if [ "${1:-}" = --inside ]; then
    editor=$2 sample=$3 picture=$4 points=$5
    source "$(dirname "$0")/x-session.sh"
    start_editor "$editor" "$points"
    file_menu o
    answer_dialog "Open Garmin TTS Voice File" "$sample"

    wait_for "the window to show the opened voice" picture_settled "$scratch/opened.ppm"

    # Select a phrase, so the picture shows a selection too.
    xdotool windowfocus --sync "$main"
    xdotool key Down Down Down
    wait_for "the window to show the selection" picture_settled "$scratch/selected.ppm" \
        "$scratch/opened.ppm"
    convert "ppm:$scratch/selected.ppm" "$picture"
    exit_editor
    exit 0
fi

self=$(realpath "$0")
cd "$(dirname "$self")/.."
build=${1:-build/default}
picture=${2:-docs/screenshot.png}
points=${3:-}
editor=$build/src/qt/quorvel
sample=$build/samples/nuvi_7x0.vpm
source scripts/x-session.sh
need_built "quorvel and samples" "$editor" "$sample"
mkdir -p "$(dirname "$picture")"
xvfb-run -a -s "$(x_server 1280x1024)" "$self" --inside "$(realpath "$editor")" \
    "$(realpath "$sample")" "$(realpath -m "$picture")" "$points"
[ -s "$picture" ] || {
    echo "No picture was taken." >&2
    exit 1
}
echo "Picture of the window: $picture"
