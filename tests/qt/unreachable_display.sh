#!/bin/sh
# The editor without a display it can reach: one line and status 1, never the toolkit's abort.
#   unreachable_display.sh EDITOR
editor=$1
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
failures=0

# expect MESSAGE VARIABLE=VALUE...: runs the editor with only the variables given.
expect() {
    message=$1
    shift
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u WAYLAND_SOCKET -u QT_QPA_PLATFORM \
        -u XDG_SESSION_TYPE XDG_RUNTIME_DIR="$runtime" "$@" "$editor" 2>&1)
    status=$?
    if [ "$status" -ne 1 ] || [ "$out" != "$message" ]; then
        echo "With $*: status $status, said: $out" >&2
        failures=$((failures + 1))
    fi
}

expect 'quorvel needs a graphical display (X11 or Wayland); none was found.'
expect 'quorvel cannot reach the graphical display: X display ":4711".' DISPLAY=:4711
expect "quorvel cannot reach the graphical display: Wayland socket \"$runtime/none-here\"." \
    WAYLAND_DISPLAY=none-here
expect "quorvel cannot reach the graphical display: Wayland socket \"$runtime/none-here\", X display \":4711\"." \
    WAYLAND_DISPLAY=none-here DISPLAY=:4711
expect 'quorvel cannot reach the graphical display: X display ":4711".' QT_QPA_PLATFORM=xcb DISPLAY=:4711
[ "$failures" -eq 0 ]
