#!/usr/bin/env bash
# Builds the Debian package and checks it as a user's machine meets it: lintian, the desktop
# entry and the AppStream metainfo validated, the package installed with apt, both installed
# commands run on a sample voice, the editor's window started under Xvfb, the voice file's
# MIME type reported, the editor named the default application for it, a sample opened
# through the desktop (gio open) into a window that shows its phrases, both manual pages
# formatted, the completion asked; then the package is removed again. Run as root on Debian 12.
#
#   scripts/package-check.sh [BUILD_DIR] [PICTURE]   (build/default: its samples and quorvel-cli)
#
# Given PICTURE, the window opened through the desktop is saved there (PNG).
set -euo pipefail

app_id=org.example.quorvel
voice_type=application/x-garmin-vpm

if [ "${1:-}" = --window ]; then
    source "$(dirname "$0")/x-session.sh"
    start_editor /usr/bin/quorvel
    exit_editor
    exit 0
fi
if [ "${1:-}" = --desktop ]; then
    voice=$2 phrases=$3 picture=$4
    source "$(dirname "$0")/x-session.sh"
    start_accessibility
    open_on_desktop "$voice"
    mapfile -d '' started <"/proc/$editor_pid/cmdline"
    echo "gio open started $(readlink "/proc/$editor_pid/exe"): ${started[*]@Q}"
    [ "$(readlink "/proc/$editor_pid/exe")" = /usr/bin/quorvel ] && [ "${#started[@]}" = 2 ] &&
        [ "${started[1]}" = "$voice" ] || {
        echo "package check: gio open did not start the installed editor with the voice" >&2
        exit 1
    }
    wait_for "the window opened through the desktop to show the voice's phrases" \
        list_shows "$phrases"
    if [ -n "$picture" ]; then
        wait_for "the window to settle" picture_settled "$scratch/window.ppm"
        convert "ppm:$scratch/window.ppm" "$picture"
    fi
    exit_editor
    exit 0
fi

self=$(realpath "$0")
cd "$(dirname "$self")/.."
build=${1:-build/default}
picture=${2:+$(realpath -m "$2")}
sample=$(realpath "$build/samples/nuvi_7x0.vpm")
cli=$(realpath "$build/src/cli/quorvel-cli")
started=$SECONDS
source scripts/x-session.sh

private=$(mktemp -d)
installed=no
cleanup() {
    if [ "$installed" = yes ]; then
        apt-get purge -y -qq quorvel >/dev/null
    fi
    rm -rf "$private"
}
trap cleanup EXIT
export HOME=$private/home XDG_CONFIG_HOME=$private/config XDG_DATA_HOME=$private/data
export XDG_CACHE_HOME=$private/cache XDG_DATA_DIRS=/usr/share
mkdir -p "$HOME"

fail() {
    echo "package check: $*" >&2
    exit 1
}

# Succeeds when "$@" prints nothing on standard error and ends with status 0.
quiet() {
    local errors
    errors=$("$@" 2>&1 >/dev/null) || return 1
    [ -z "$errors" ] || {
        echo "$errors" >&2
        return 1
    }
}

scripts/package.sh build/package
deb=$(echo build/package/quorvel_*.deb)
lintian --fail-on error,warning "$deb" || fail "lintian found faults in $deb"

if dpkg-query -W -f='${Status}' quorvel 2>/dev/null | grep -q 'ok installed'; then
    fail "quorvel is installed already; the check would remove it"
fi
installed=yes
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "./$deb" >/dev/null

# Both validators print their warnings and still succeed: what they print is the verdict.
said=$(desktop-file-validate "/usr/share/applications/$app_id.desktop" 2>&1) && [ -z "$said" ] ||
    fail "desktop-file-validate: $said"
said=$(appstreamcli validate --pedantic --no-net "/usr/share/metainfo/$app_id.metainfo.xml" 2>&1) &&
    [ "$said" = "✔ Validation was successful." ] || fail "appstreamcli: $said"

[ "$(/usr/bin/quorvel-cli --version)" = "$("$cli" --version)" ] ||
    fail "the installed quorvel-cli is not this version"
[ "$(/usr/bin/quorvel-cli info "$sample")" = "$("$cli" info "$sample")" ] ||
    fail "the installed quorvel-cli shows the sample voice differently"
/usr/bin/quorvel-cli export "$sample" "$private/installed.txt"
"$cli" export "$sample" "$private/built.txt"
cmp "$private/installed.txt" "$private/built.txt" ||
    fail "the installed quorvel-cli exports the sample voice differently"
# The speech engine's data came with the package: the same sound as the build's.
/usr/bin/quorvel-cli speak "$sample" 2 -o "$private/installed.wav"
"$cli" speak "$sample" 2 -o "$private/built.wav"
cmp "$private/installed.wav" "$private/built.wav" ||
    fail "the installed quorvel-cli speaks the sample voice differently"

xvfb-run -a -s "$(x_server 1024x768)" "$self" --window
echo "The installed editor's window came up in a real X server."

# The desktop opens a voice file with the editor: a double click in a file manager, "Open
# With". The name holds a space, which the desktop entry's %f must keep.
[ "$(xdg-mime query default "$voice_type")" = "$app_id.desktop" ] ||
    fail "the default application for $voice_type is '$(xdg-mime query default "$voice_type")'"
cp "$sample" "$private/desktop voice.vpm"
"$cli" info "$sample" --phrases | sed '1,/^$/d' >"$private/phrases.txt"
dbus-run-session -- xvfb-run -a -s "$(x_server 1024x768)" "$self" --desktop \
    "$private/desktop voice.vpm" "$private/phrases.txt" "$picture"
echo "The desktop opened a voice file in the installed editor, its phrases shown."

# By name, and by the identity tag alone.
cp "$sample" "$private/voice_without_extension"
for file in "$sample" "$private/voice_without_extension"; do
    type=$(gio info -a standard::content-type "$file" | sed -n 's/^ *standard::content-type: //p')
    [ "$type" = "$voice_type" ] || fail "$file is reported as '$type', not $voice_type"
done

for page in quorvel quorvel-cli; do
    MANWIDTH=80 quiet man --warnings -l "/usr/share/man/man1/$page.1.gz" ||
        fail "the manual page $page(1) does not format cleanly"
done

completion=$(cd "$(dirname "$sample")" && bash -c '
    source /usr/share/bash-completion/completions/quorvel-cli
    COMP_WORDS=(quorvel-cli i); COMP_CWORD=1; _quorvel_cli; echo "${COMPREPLY[*]}"
    COMP_WORDS=(quorvel-cli export nuvi_7); COMP_CWORD=2; _quorvel_cli; echo "${COMPREPLY[*]}"
    COMP_WORDS=(quorvel-cli speak nuvi_7x0.vpm 2 --language de); COMP_CWORD=5; _quorvel_cli
    echo "${COMPREPLY[*]}"')
[ "$completion" = $'info import\nnuvi_7x0.vpm\nde' ] ||
    fail "the completion offers '$completion'"

echo "Installed files:"
dpkg -L quorvel
echo "Depends: $(dpkg-query -W -f='${Depends}' quorvel)"
apt-get purge -y -qq quorvel >/dev/null
installed=no
[ ! -e /usr/bin/quorvel ] || fail "the package left /usr/bin/quorvel behind"
echo "The package was built, installed, used and removed in $((SECONDS - started)) s."
