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

# Waits until a window whose title matches $1 appears (prints its id) or fails.
window() {
    local id
    id=$(timeout 15 xdotool search --onlyvisible --sync --name "$1" | head -n 1) || true
    [ -n "$id" ] || {
        echo "The window '$1' never appeared." >&2
        exit 1
    }
    echo "$id"
}

# Waits until no window whose title matches $1 remains.
gone() {
    for _ in $(seq 75); do
        xdotool search --onlyvisible --name "$1" >/dev/null || return 0
        sleep 0.2
    done
    echo "The window '$1' did not close." >&2
    exit 1
}

# File menu entry by its mnemonic, then the path typed into the dialog titled $2.
file_menu() {
    local key=$1 title=$2 path=$3 dialog
    xdotool windowfocus --sync "$main"
    xdotool key alt+f
    sleep 0.4
    xdotool key "$key"
    dialog=$(window "^$title")
    xdotool windowfocus --sync "$dialog"
    sleep 0.4
    xdotool type --delay 10 "$path"
    xdotool key Return
    gone "^$title"
}

if [ "${1:-}" = --inside ]; then
    editor=$2 cli=$3 sample=$4 work=$5
    XDG_RUNTIME_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR
    "$editor" &
    pid=$!
    trap 'kill "$pid" 2>/dev/null || true; rm -rf "$XDG_RUNTIME_DIR"' EXIT
    main=$(window '^Quorvel v2\.51$')

    file_menu o "Open Garmin TTS Voice File" "$sample"
    file_menu e "Export Text" "$work/window.txt"
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
    file_menu i "Import Text" "$work/edited.txt"

    # File > Save: the reminder first, then the dialog.
    xdotool windowfocus --sync "$main"
    xdotool key alt+f
    sleep 0.4
    xdotool key s
    reminder=$(window '^Quorvel$')
    xdotool windowfocus --sync "$reminder"
    xdotool key Return
    gone '^Quorvel$'
    dialog=$(window '^Save Garmin TTS Voice File')
    xdotool windowfocus --sync "$dialog"
    sleep 0.4
    xdotool type --delay 10 "$work/saved.vpm"
    xdotool key Return
    gone '^Save Garmin TTS Voice File'

    "$cli" import "$sample" "$work/edited.txt" -o "$work/expected.vpm"
    for _ in $(seq 25); do
        [ -s "$work/saved.vpm" ] && break
        sleep 0.2
    done
    cmp "$work/saved.vpm" "$work/expected.vpm" || {
        echo "The voice the window saved differs from the expected bytes." >&2
        exit 1
    }
    "$cli" export "$work/saved.vpm" "$work/reopened.txt"
    diff <(tr -d '\r' <"$work/edited.txt") <(tr -d '\r' <"$work/reopened.txt") || {
        echo "The saved voice does not show the edits." >&2
        exit 1
    }

    xdotool windowfocus --sync "$main"
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
