#!/usr/bin/env bash
# Starts the editor: installs what is missing, builds the editor of the default preset and
# runs it. Without a graphical display the editor says so and ends.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default
cmake --build --preset default --target quorvel
exec build/default/src/qt/quorvel
