# Shared by the scripts that drive the editor in a real X window under xvfb-run: starting it,
# waiting for windows, the File menu by keyboard, and File > Exit. There is no window
# manager, so every window is given the keyboard by hand. Source it; it defines `main`.

# Starts the editor ($1) and waits for its main window; sets `main` and `editor_pid`.
start_editor() {
    XDG_RUNTIME_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR
    "$1" &
    editor_pid=$!
    trap 'kill "$editor_pid" 2>/dev/null || true; rm -rf "$XDG_RUNTIME_DIR"' EXIT
    main=$(window '^Quorvel v2\.51$')
}

# Waits until a visible window whose title matches $1 appears, and prints its id. A search
# that meets a window while it is being destroyed fails with an X error: it is tried again.
window() {
    local id
    for _ in $(seq 75); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.2
    done
    echo "The window '$1' never appeared." >&2
    exit 1
}

# Waits until no visible window whose title matches $1 remains.
gone() {
    for _ in $(seq 75); do
        [ -n "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ] || return 0
        sleep 0.2
    done
    echo "The window '$1' did not close." >&2
    exit 1
}

# Chooses the File menu entry with mnemonic $1.
file_menu() {
    xdotool windowfocus --sync "$main"
    xdotool key alt+f
    sleep 0.4
    xdotool key "$1"
}

# Types the path $2 into the file dialog titled $1 and confirms it.
answer_dialog() {
    local dialog
    dialog=$(window "^$1")
    xdotool windowfocus --sync "$dialog"
    sleep 0.4
    xdotool type --delay 10 "$2"
    xdotool key Return
    gone "^$1"
}

# File > Exit; fails when the editor does not end.
exit_editor() {
    file_menu x
    for _ in $(seq 25); do
        kill -0 "$editor_pid" 2>/dev/null || return 0
        sleep 0.2
    done
    echo "The editor did not end after File > Exit." >&2
    exit 1
}
