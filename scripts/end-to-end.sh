#!/usr/bin/env bash
# Drives the editor in a real X window on a virtual display, by keyboard, through the real
# file dialogs: started with a sample voice as its argument, its phrase list must show the
# sample's phrases as a screen reader reads them; then File > Export, File > Import an edited text, the
# rate bar and a phrase edited by keyboard, File > Save under a new name, File > Exit. The
# exported text must equal what the program layer exports for that voice, the saved voice
# what the program layer makes of the same edits (quorvel-cli runs the same program layer
# without a window), and the editor must leave no settings behind.
#
#   scripts/end-to-end.sh [BUILD_DIR]       (build/default)
#
# Builds nothing: build the quorvel, quorvel-cli and samples targets of BUILD_DIR first.
set -euo pipefail

if [ "${1:-}" = --inside ]; then
    editor=$2 cli=$3 sample=$4 work=$5
    source "$(dirname "$0")/x-session.sh"
    start_accessibility
    start_editor "$editor" "" "$sample"
    "$cli" info "$sample" --phrases | sed '1,/^$/d' >"$work/phrases.txt"
    wait_for "the phrase list to show the sample's phrases" list_shows "$work/phrases.txt"

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

    # By keyboard: from the list (a click gives it the keyboard, wherever the closed dialog left
    # it), Tab twice to the rate bar, Right three times and Left once; back to the list, phrase
    # 3 selected, Return opens the Modify window for it, and its new text is typed and
    # confirmed with OK.
    xdotool windowfocus --sync "$main"
    wait_for "the phrase list to be clicked" click_list
    xdotool key Tab Tab Right Right Right Left shift+Tab shift+Tab Home Down Down Return
    modify=$(window '^Modify TTS Expression$')
    xdotool windowfocus --sync "$modify"
    xdotool key Tab
    xdotool type --delay 10 "Keep going"
    xdotool key Tab Tab space
    gone '^Modify TTS Expression$'

    # File > Save: the reminder first, then the dialog.
    file_menu s
    reminder=$(window '^Quorvel$')
    xdotool windowfocus --sync "$reminder"
    xdotool key Return
    gone '^Quorvel$'
    answer_dialog "Save Garmin TTS Voice File" "$work/saved.vpm"

    "$cli" import "$sample" "$work/edited.txt" -o "$work/imported.vpm"
    "$cli" set "$work/imported.vpm" --rate 63 --phrase "3=Keep going" -o "$work/expected.vpm"
    file_written "$work/saved.vpm" "the voice the window saved"
    cmp "$work/saved.vpm" "$work/expected.vpm" || {
        echo "The voice the window saved differs from the expected bytes." >&2
        exit 1
    }
    "$cli" export "$work/saved.vpm" "$work/reopened.txt"
    sed -e 's/^Voice Rate: .*$/Voice Rate:  63/' -e 's/^ 3-.*$/ 3-Keep going/' \
        <(tr -d '\r' <"$work/edited.txt") >"$work/final.txt"
    diff "$work/final.txt" <(tr -d '\r' <"$work/reopened.txt") || {
        echo "The saved voice does not show the edits." >&2
        exit 1
    }
    exit_editor
    [ -z "$(ls -A "$XDG_CONFIG_HOME")" ] || {
        echo "The editor left settings behind: $(ls -A "$XDG_CONFIG_HOME")" >&2
        exit 1
    }
    exit 0
fi

self=$(realpath "$0")
cd "$(dirname "$self")/.."
build=${1:-build/default}
editor=$build/src/qt/quorvel
cli=$build/src/cli/quorvel-cli
sample=$build/samples/nuvi_7x0.vpm
source scripts/x-session.sh
need_built "quorvel, quorvel-cli and samples" "$editor" "$cli" "$sample"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dbus-run-session -- xvfb-run -a -s "$(x_server 1024x768)" "$self" --inside "$(realpath "$editor")" \
    "$(realpath "$cli")" "$(realpath "$sample")" "$work"
echo "End-to-end run in a real window: the voice named as the argument shows its phrases;"
echo "export, import and save give the expected bytes."
