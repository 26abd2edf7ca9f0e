#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (address and undefined-behaviour sanitizers), writes
# their seed corpora with the voice builder, and runs each target for SECONDS seconds.
# Exits non-zero when any target finds a crash, a sanitizer report, a leak, a timeout or an
# out-of-memory input; this run's findings are kept in BUILD_DIR/fuzz-findings/TARGET/.
#
#   scripts/fuzz.sh SECONDS [BUILD_DIR]      (BUILD_DIR defaults to build/fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 1 ] || [ $# -gt 2 ] || ! [[ "$1" =~ ^[0-9]+$ ]]; then
    echo "usage: scripts/fuzz.sh SECONDS [BUILD_DIR]" >&2
    exit 2
fi
seconds=$1
build=${2:-build/fuzz}
root=$(pwd)

scripts/install-deps.sh # clang and libFuzzer (libclang-rt-14-dev) among the rest

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++ -DQUORVEL_WITH_QT=OFF -DQUORVEL_WITH_BENCH=OFF \
        -DQUORVEL_WITH_FUZZ=ON -DQUORVEL_WERROR=ON
fi
cmake --build "$build" --target fuzz_open_voice fuzz_import_text make_fuzz_seeds

seeds="$build/fuzz-seeds"
rm -rf "$seeds"
"$build/fuzz/make_fuzz_seeds" "$seeds/open_voice" "$seeds/import_text"

# The largest seed is a 28 KiB voice of the 255W/260 family.
max_len=32768
targets=(open_voice import_text)
failed=()
for name in "${targets[@]}"; do
    target="$build/fuzz/fuzz_$name"
    corpus="$build/fuzz-corpus/$name"
    findings="$build/fuzz-findings/$name"
    rm -rf "$findings"
    mkdir -p "$corpus" "$findings"
    # New inputs go to the first folder; the seeds and every input ever found are read too.
    inputs=("$corpus" "$seeds/$name")
    if [ -d "$root/fuzz/regressions/$name" ]; then
        inputs+=("$root/fuzz/regressions/$name")
    fi
    echo "== fuzz_$name for $seconds s"
    clean=true
    "$target" -max_total_time="$seconds" -max_len=$max_len -timeout=30 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$findings/" "${inputs[@]}" \
        2>"$build/fuzz_$name.log" || clean=false
    [ -z "$(ls -A "$findings")" ] || clean=false
    tail -n 12 "$build/fuzz_$name.log"
    if [ "$clean" = false ]; then
        failed+=("fuzz_$name")
        echo "fuzz_$name: findings kept in $findings: $(ls "$findings")" >&2
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "Fuzzing found inputs that break a rule: ${failed[*]} (see $build/fuzz_*.log)" >&2
fi
echo "fuzz: $((${#targets[@]} - ${#failed[@]})) passed, ${#failed[@]} failed"
[ ${#failed[@]} -eq 0 ]
