#!/usr/bin/env bash
# Starts the editor: installs what is missing, builds the editor of the default preset and
# runs it, with the voice file given, if any. Without a graphical display the editor says so
# and ends.
#
#   scripts/run.sh [VOICE.vpm]
set -euo pipefail
here=$PWD
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default
cmake --build --preset default --target quorvel
editor=$PWD/build/default/src/qt/quorvel
# A relative name is taken from the folder the script was started in.
cd "$here"
exec "$editor" "$@"
