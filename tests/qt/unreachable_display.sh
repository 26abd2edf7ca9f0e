#!/bin/sh
# The editor without a display it can reach: one line and status 1, never the toolkit's abort.
# What its command line asks it to print, or a command line it cannot follow, is answered
# before the display is looked for.
#   unreachable_display.sh EDITOR VERSION
editor=$1 version=$2
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
failures=0

# expect STATUS OUT ERR [VARIABLE=VALUE...] [-- ARGUMENT...]: runs the editor with only the
# variables given and the arguments given; OUT and ERR are the first lines of its standard
# output and standard error, which hold one line at most unless OUT is the --help line.
expect() {
    want_status=$1 want_out=$2 want_err=$3
    shift 3
    variables=
    while [ $# -gt 0 ] && [ "$1" != -- ]; do
        variables="$variables $1"
        shift
    done
    [ $# -gt 0 ] && shift
    # shellcheck disable=SC2086 # one word per variable
    env -u DISPLAY -u WAYLAND_DISPLAY -u WAYLAND_SOCKET -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE \
        XDG_RUNTIME_DIR="$runtime" $variables "$editor" "$@" >"$runtime/out" 2>"$runtime/err"
    status=$?
    out=$(head -n 1 "$runtime/out") err=$(cat "$runtime/err")
    lines=$(wc -l <"$runtime/out")
    if [ "$status" -ne "$want_status" ] || [ "$out" != "$want_out" ] || [ "$err" != "$want_err" ] ||
        { [ "$lines" -gt 1 ] && [ "$want_out" != "Usage: quorvel [FILE]" ]; }; then
        echo "With$variables $*: status $status, printed: $(cat "$runtime/out"), said: $err" >&2
        failures=$((failures + 1))
    fi
}

expect 1 '' 'quorvel needs a graphical display (X11 or Wayland); none was found.'
expect 1 '' 'quorvel cannot reach the graphical display: X display ":4711".' DISPLAY=:4711
expect 1 '' "quorvel cannot reach the graphical display: Wayland socket \"$runtime/none-here\"." \
    WAYLAND_DISPLAY=none-here
expect 1 '' "quorvel cannot reach the graphical display: Wayland socket \"$runtime/none-here\", X display \":4711\"." \
    WAYLAND_DISPLAY=none-here DISPLAY=:4711
expect 1 '' 'quorvel cannot reach the graphical display: X display ":4711".' QT_QPA_PLATFORM=xcb DISPLAY=:4711
expect 1 '' 'quorvel needs a graphical display (X11 or Wayland); none was found.' -- voice.vpm
expect 0 'Usage: quorvel [FILE]' '' -- --help
expect 0 "quorvel $version" '' -- --version
expect 2 '' 'quorvel: unknown option "--bogus"; run quorvel --help for the usage.' -- --bogus
expect 2 '' 'quorvel: one file at most can be opened, 2 were given; run quorvel --help for the usage.' \
    -- a.vpm b.vpm
[ "$failures" -eq 0 ]
