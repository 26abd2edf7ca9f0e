#!/usr/bin/env bash
# Usage: scripts/compare-cli.sh LINUX_BUILD WINDOWS_BUILD
# Runs the Linux and the Windows quorvel-cli (the latter under Wine; the caller sets up
# WINEPREFIX and starts wineserver) on the same voices and edits, each system in a folder of
# its own holding the same files, and compares exit status, standard output, standard error
# and every file written. Any difference fails.
set -euo pipefail

linux=$(realpath "$1")/src/cli/quorvel-cli
windows=$(realpath "$2")/src/cli/quorvel-cli.exe
samples=$(realpath "$1")/samples
for needed in "$linux" "$windows" "$samples/nuvi_7x0.vpm"; do
    [ -e "$needed" ] || { echo "$needed is missing: build both first." >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for system in linux windows; do
    mkdir "$work/$system"
    cp "$samples/nuvi_7x0.vpm" "$work/$system/v7.vpm"
    cp "$samples/nuvi_255w.vpm" "$work/$system/v255.vpm"
    printf '2 Hallo Welt\r\n' >"$work/$system/edit.txt"
done

cases=0
differences=0
# One run of each program in its folder; then both folders must be equal, the streams among
# them.
compare() {
    cases=$((cases + 1))
    local status
    (cd "$work/linux" && "$linux" "$@" </dev/null >stdout 2>stderr; echo $? >status) || true
    (cd "$work/windows" &&
        /usr/lib/wine/wine64 "$windows" "$@" </dev/null >stdout 2>stderr; echo $? >status) || true
    if ! diff -r "$work/linux" "$work/windows" >"$work/diff" 2>&1; then
        differences=$((differences + 1))
        echo "differs: quorvel-cli $*" >&2
        sed 's/^/    /' "$work/diff" >&2
    fi
    status=$(cat "$work/linux/status")
    rm -f "$work"/*/stdout "$work"/*/stderr "$work"/*/status
    [ "$status" != 139 ] || echo "quorvel-cli $* crashed" >&2
}

compare info v7.vpm
compare info --phrases v255.vpm
compare export v7.vpm out.txt
compare export v255.vpm -
compare set v7.vpm -o set.vpm --rate 40 --volume 7 --screen-name "Zoë" --phrase "3=Café au lait"
compare export set.vpm -
compare info --phrases set.vpm
compare set v7.vpm -o - --volume 12
compare import v7.vpm edit.txt -o imported.vpm
compare import v7.vpm out.txt -o v7.vpm
compare set v255.vpm -o refused.vpm --rate 3
compare set v7.vpm -o refused.vpm --phrase "2=中文"
compare set v7.vpm -o refused.vpm --phrase 1=first
compare info missing.vpm
compare info /no-such-folder/v.vpm
compare export v7.vpm no-such-folder/out.txt
compare set v7.vpm --rate 40
compare set v7.vpm -o x.vpm --rate 100
compare frobnicate v7.vpm
compare --version

echo "quorvel-cli on Linux and on Windows: $cases runs compared, $differences differ."
[ "$differences" -eq 0 ]
