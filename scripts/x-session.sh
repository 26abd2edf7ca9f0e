# Shared by the scripts that drive the editor in a real X window under xvfb-run: checking
# that the build made what they need, starting the editor, waiting for windows, files and the
# File menu, and File > Exit. There is no window manager, so every window is given the
# keyboard by hand. Source it; it defines `main`.
#
# Nothing waits a fixed time: each step polls for what it needs, and when that does not come
# within wait_seconds the script ends with a message naming what it waited for.

wait_seconds=15

# Runs "$2..." every tenth of a second until it succeeds; ends the script after wait_seconds
# with a message that names what it waited for ($1).
wait_for() {
    local what=$1 deadline=$((SECONDS + wait_seconds))
    shift
    until "$@"; do
        if [ "$SECONDS" -ge "$deadline" ]; then
            echo "Gave up after $wait_seconds s waiting for $what." >&2
            exit 1
        fi
        sleep 0.1
    done
}

# The options of the X server a script starts (xvfb-run -s): a screen of $1 pixels (WxH), and
# no reset. By default an X server resets when its last client leaves, and refuses whoever
# connects meanwhile: the editor, started just after the accessibility bus's launcher let go.
x_server() {
    echo "-screen 0 ${1}x24 -noreset"
}

# Ends the script with a message when a file the run needs ($2...) is missing; $1 names the
# build targets that make them.
need_built() {
    local targets=$1 needed
    shift
    for needed in "$@"; do
        if [ ! -e "$needed" ]; then
            echo "$needed is missing: build the $targets targets first." >&2
            exit 1
        fi
    done
}

# Makes `scratch`, a private folder removed at exit that holds the editor's XDG_RUNTIME_DIR,
# HOME and an empty XDG_CONFIG_HOME; at exit the editor and the accessibility bus end too.
# Given $1, the desktop's default font has that many points: a KDE desktop's settings say so,
# as Qt reads them.
private_session() {
    scratch=$(mktemp -d)
    export XDG_RUNTIME_DIR=$scratch HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config
    mkdir "$HOME" "$XDG_CONFIG_HOME"
    if [ -n "${1:-}" ]; then
        printf '[General]\nfont=DejaVu Sans,%s,-1,5,50,0,0,0,0,0\n' "$1" >"$XDG_CONFIG_HOME/kdeglobals"
        export XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5
    fi
    trap 'for pid in ${editor_pid:-} ${accessibility_pid:-}; do kill "$pid" 2>/dev/null || true; done
        rm -rf "$scratch"' EXIT
}

# Starts the editor ($1) in a private session and waits for its main window; sets `main`,
# `editor_pid` and `scratch`. $2 is the desktop font's size in points, or empty; $3, when
# given, the editor's one argument.
start_editor() {
    private_session "${2:-}"
    "$1" ${3:+"$3"} &
    editor_pid=$!
    main=$(window '^Quorvel v[0-9.]+$')
}

# Opens the file $1 as a desktop does (gio open: the default application of its type) in a
# private session and waits for the editor's main window; sets `main`, `editor_pid` (read
# from the window) and `scratch`.
open_on_desktop() {
    private_session
    gio open "$1"
    main=$(window '^Quorvel v[0-9.]+$')
    editor_pid=$(xdotool getwindowpid "$main")
}

# Starts the session's accessibility bus, so that phrase_list reads the window as a screen
# reader does; an editor started after it talks to it. Run inside dbus-run-session.
start_accessibility() {
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    accessibility_pid=$!
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

# Prints the entries of the main window's phrase list, one a line, as a screen reader reads
# them (after start_accessibility).
phrase_list() {
    /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/phrase-list.py"
}

# Clicks the middle of the phrase list, which gives the list the keyboard focus wherever it
# was; fails while the list is not to be found.
click_list() {
    local place
    place=$(/usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/phrase-list.py" --place)
    [ -n "$place" ] || return 1
    xdotool mousemove $place click 1
}

# Succeeds when the phrase list shows the lines of the file $1.
list_shows() {
    [ "$(phrase_list)" = "$(cat "$1")" ]
}

# Sets `found` to the first visible window whose title matches $1; fails when there is none.
# A search that meets a window while it is being destroyed fails with an X error: the poll
# tries again.
visible() {
    found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null) || return 1
    found=${found%%$'\n'*}
    [ -n "$found" ]
}

# Succeeds when no visible window whose title matches $1 remains.
none_visible() {
    [ -z "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ]
}

# Sets `found` to a visible window of the editor other than the main one: an open menu (Qt
# gives its popup no WM_NAME, so a title search misses it); fails when there is none.
popup_open() {
    found=$(xdotool search --onlyvisible --class quorvel 2>/dev/null | grep -vx "$main") || return 1
    found=${found%%$'\n'*}
    [ -n "$found" ]
}

# Succeeds when the window $1 is no longer visible.
hidden() {
    ! xdotool search --onlyvisible --class quorvel 2>/dev/null | grep -x "$1" >/dev/null
}

# Waits until a visible window whose title matches $1 appears, and prints its id.
window() {
    wait_for "a window titled '$1'" visible "$1"
    echo "$found"
}

# Waits until no visible window whose title matches $1 remains.
gone() {
    wait_for "the window '$1' to close" none_visible "$1"
}

# Succeeds once the file $1 exists and its size is the one the previous call saw.
size_settled() {
    local size
    size=$(stat -c %s "$1" 2>/dev/null) || return 1
    [ "$size" = "$last_size" ] && return 0
    last_size=$size
    return 1
}

# Waits until the file $1 ($2 says what it is) exists and its size has settled.
file_written() {
    last_size=none
    wait_for "$2 ($1) to be written" size_settled "$1"
}

# Chooses the File menu entry with mnemonic $1: waits for the menu to open, presses the key,
# and waits for the menu to close.
file_menu() {
    local menu
    xdotool windowfocus --sync "$main"
    xdotool key alt+f
    menu=$(wait_for "the File menu to open" popup_open && echo "$found")
    xdotool key "$1"
    wait_for "the File menu to close after '$1'" hidden "$menu"
}

# Types the path $2 into the file dialog titled $1 and confirms it.
answer_dialog() {
    local dialog
    dialog=$(window "^$1")
    xdotool windowfocus --sync "$dialog"
    xdotool type --delay 10 "$2"
    xdotool key Return
    gone "^$1"
}

# Takes a picture of the main window (PPM: no time stamp inside) into $1; succeeds when it
# agrees with the one the previous call left there and, given $2, differs from the picture
# $2. Polled by wait_for, it leaves the settled picture in $1.
picture_settled() {
    eval "$(xdotool getwindowgeometry --shell "$main")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "ppm:$1.new"
    if cmp -s "$1.new" "$1" && { [ -z "${2:-}" ] || ! cmp -s "$1" "$2"; }; then
        return 0
    fi
    mv "$1.new" "$1"
    return 1
}

editor_ended() {
    ! kill -0 "$editor_pid" 2>/dev/null
}

# File > Exit; fails when the editor does not end.
exit_editor() {
    file_menu x
    wait_for "the editor to end after File > Exit" editor_ended
}
