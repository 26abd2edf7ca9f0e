#!/usr/bin/env bash
# Speech in a real X window on a virtual display, heard through a PulseAudio server of its
# own: a null sink whose monitor parec records. F5 on a phrase of a sample voice must give
# more than 0.3 s of sound with an RMS above 0.01. With the server stopped (SIGSTOP: it takes
# connections and never answers) the window must still answer (Ctrl+F opens Find) and end at
# once. With no sound server, F5 must show the message that says why, once, and the window
# must still answer.
#
#   scripts/speech-playback.sh [BUILD_DIR]       (build/default)
#
# Builds nothing: build the quorvel and samples targets of BUILD_DIR first. Every daemon it
# starts is stopped by its PID; the server runs under a private XDG_RUNTIME_DIR and HOME.
set -euo pipefail

# The recording $1 without its silence at both ends: prints "SECONDS RMS".
measure() {
    sox -t raw -r 22050 -e signed -b 16 -c 1 "$1" -t raw "$1.trimmed" \
        silence 1 0.02 0.5% reverse silence 1 0.02 0.5% reverse 2>/dev/null
    sox -t raw -r 22050 -e signed -b 16 -c 1 "$1.trimmed" -n stat 2>&1 |
        awk '/^Length/ {s=$3} /^RMS +amplitude/ {r=$3} END {print s+0, r+0}'
}

if [ "${1:-}" = --inside ]; then
    editor=$2 sample=$3 work=$4
    source "$(dirname "$0")/x-session.sh"

    # The sound server, its null sink, and the recorder of what the sink plays.
    export PULSE_SERVER=unix:$work/pulse.socket PULSE_CLIENTCONFIG=$work/client.conf
    printf 'autospawn = no\n' >"$PULSE_CLIENTCONFIG"
    XDG_RUNTIME_DIR=$work/run HOME=$work/home pulseaudio -n --daemonize=no \
        --exit-idle-time=-1 --use-pid-file=no --disallow-module-loading \
        -L "module-native-protocol-unix socket=$work/pulse.socket auth-anonymous=1" \
        -L "module-null-sink sink_name=nul rate=22050 channels=1" 2>"$work/pulseaudio.log" &
    server=$!
    recorder=
    trap 'kill -CONT $server 2>/dev/null; kill $recorder $server 2>/dev/null || true' EXIT
    server_answers() { pactl info >/dev/null 2>&1; }
    wait_for "the sound server to answer" server_answers
    parec -d nul.monitor --raw --format=s16le --rate=22050 --channels=1 >"$work/heard.raw" \
        2>/dev/null &
    recorder=$!

    start_editor "$editor"
    # The editor's own trap replaces the one above: keep both.
    trap 'kill -CONT $server 2>/dev/null; kill "$editor_pid" $recorder $server 2>/dev/null ||
        true; rm -rf "$scratch"' EXIT
    file_menu o
    answer_dialog "Open Garmin TTS Voice File" "$sample"
    xdotool windowfocus --sync "$main"
    xdotool key Home Down F5
    heard() {
        read -r seconds rms < <(measure "$work/heard.raw")
        awk -v s="$seconds" -v r="$rms" 'BEGIN {exit !(s > 0.3 && r > 0.01)}'
    }
    wait_for "the phrase to be heard in the sound server's sink" heard
    sleep 1 # the whole phrase
    read -r seconds rms < <(measure "$work/heard.raw")
    echo "F5 in the window: $seconds s of sound heard, RMS $rms."

    # A sound server that hangs: the window goes on answering, and ends when asked.
    kill -STOP "$server"
    xdotool windowfocus --sync "$main"
    xdotool key F5 ctrl+f
    find=$(window '^Find$')
    xdotool windowfocus --sync "$find"
    xdotool key Tab Tab space
    gone '^Find$'
    exit_editor
    kill -CONT "$server"
    echo "With the sound server hung, the window went on answering and ended when asked."

    # No sound server: F5 shows why, once, and the window goes on answering.
    kill "$recorder" "$server"
    wait "$server" 2>/dev/null || true
    recorder= server=
    start_editor "$editor"
    trap 'kill "$editor_pid" 2>/dev/null || true; rm -rf "$scratch"' EXIT
    file_menu o
    answer_dialog "Open Garmin TTS Voice File" "$sample"
    xdotool windowfocus --sync "$main"
    xdotool key Home Down F5
    message=$(window '^Quorvel$')
    xdotool windowfocus --sync "$message"
    xdotool key Return
    gone '^Quorvel$'
    xdotool windowfocus --sync "$main"
    xdotool key F5 ctrl+f
    find=$(window '^Find$')
    none_visible '^Quorvel$' || {
        echo "A second F5 showed the message again." >&2
        exit 1
    }
    xdotool windowfocus --sync "$find"
    xdotool key Tab Tab space
    gone '^Find$'
    echo "With no sound server, F5 said why and the window went on answering."
    exit_editor
    exit 0
fi

self=$(realpath "$0")
cd "$(dirname "$self")/.."
build=${1:-build/default}
editor=$build/src/qt/quorvel
sample=$build/samples/nuvi_7x0.vpm
source scripts/x-session.sh
need_built "quorvel and samples" "$editor" "$sample"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/run" "$work/home"
xvfb-run -a -s "$(x_server 1024x768)" "$self" --inside "$(realpath "$editor")" \
    "$(realpath "$sample")" "$work"
