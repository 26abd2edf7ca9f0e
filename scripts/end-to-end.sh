#!/usr/bin/env bash
# Drives the editor in a real X window on a virtual display, by keyboard, through the real
# file dialogs: File > Open a sample voice, File > Export, File > Import an edited text,
# File > Save under a new name. The exported text must equal what the program layer exports
# for that voice, and the saved voice what the program layer makes of the same import
# (quorvel-cli runs the same program layer without a window).
#
#   scripts/end-to-end.sh [BUILD_DIR]       (build/default)
#
# Builds nothing: build the quorvel, quorvel-cli and samples targets of BUILD_DIR first.
set -euo pipefail

if [ "${1:-}" = --inside ]; then
    editor=$2 cli=$3 sample=$4 work=$5
    source "$(dirname "$0")/x-session.sh"
    start_editor "$editor"

    file_menu o
    answer_dialog "Open Garmin TTS Voice File" "$sample"
    file_menu e
    answer_dialog "Export Text" "$work/window.txt"
    file_written "$work/window.txt" "the window's export"
    "$cli" export "$sample" "$work/expected.txt"
    cmp "$work/window.txt" "$work/expected.txt" || {
        echo "The window's export differs from the program layer's." >&2
        exit 1
    }

    # Two phrases, the rate and the screen name edited in the text file.
    sed -e 's/^Voice Rate: .*\r$/Voice Rate:  61\r/' \
        -e "s/^Screen Name: .*\r$/Screen Name: Edited voice\r/" \
        -e 's/^ 2-.*\r$/ 2-Turn left now\r/' \
        -e 's/^ 5-.*\r$/ 5-Right\r/' "$work/window.txt" >"$work/edited.txt"
    file_menu i
    answer_dialog "Import Text" "$work/edited.txt"

    # File > Save: the reminder first, then the dialog.
    file_menu s
    reminder=$(window '^Quorvel$')
    xdotool windowfocus --sync "$reminder"
    xdotool key Return
    gone '^Quorvel$'
    answer_dialog "Save Garmin TTS Voice File" "$work/saved.vpm"

    "$cli" import "$sample" "$work/edited.txt" -o "$work/expected.vpm"
    file_written "$work/saved.vpm" "the voice the window saved"
    cmp "$work/saved.vpm" "$work/expected.vpm" || {
        echo "The voice the window saved differs from the expected bytes." >&2
        exit 1
    }
    "$cli" export "$work/saved.vpm" "$work/reopened.txt"
    diff <(tr -d '\r' <"$work/edited.txt") <(tr -d '\r' <"$work/reopened.txt") || {
        echo "The saved voice does not show the edits." >&2
        exit 1
    }
    exit_editor
    exit 0
fi

self=$(realpath "$0")
cd "$(dirname "$self")/.."
build=${1:-build/default}
editor=$build/src/qt/quorvel
cli=$build/src/cli/quorvel-cli
sample=$build/samples/nuvi_7x0.vpm
for needed in "$editor" "$cli" "$sample"; do
    if [ ! -e "$needed" ]; then
        echo "$needed is missing: build the quorvel, quorvel-cli and samples targets first." >&2
        exit 1
    fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
xvfb-run -a -s "-screen 0 1024x768x24" "$self" --inside "$(realpath "$editor")" \
    "$(realpath "$cli")" "$(realpath "$sample")" "$work"
echo "End-to-end run in a real window: export, import and save give the expected bytes."
