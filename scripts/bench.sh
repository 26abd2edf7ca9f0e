#!/usr/bin/env bash
# Builds the benchmarks in an optimised build without sanitizers (build/bench) and runs them:
# Google Benchmark's table with each side-by-side ratio as a counter, then every target with
# what was measured. Exits non-zero when a target is missed.
#
#   scripts/bench.sh [--record] [BENCHMARK_OPTIONS...]
#
# --record also writes the run, with this command, to bench/RESULTS.md and to the README's
# speed section. Other options go to the benchmark program (e.g. --benchmark_min_time=0.05
# for a quick run).
set -euo pipefail
cd "$(dirname "$0")/.."

record=false
if [ "${1:-}" = "--record" ]; then
    record=true
    shift
fi
build=build/bench

scripts/install-deps.sh
if [ ! -f "$build/CMakeCache.txt" ]; then
    # -O2 as the presets build; g++ 12 at -O3 warns falsely (-Wrestrict) inside std::string.
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DQUORVEL_WITH_QT=OFF \
        -DQUORVEL_WITH_BENCH=ON -DQUORVEL_WITH_FUZZ=OFF -DQUORVEL_WERROR=ON
fi
cmake --build "$build" --target quorvel_bench

output=$(mktemp)
trap 'rm -f "$output"' EXIT
status=0
"$build/bench/quorvel_bench" --benchmark_counters_tabular=true "$@" 2>&1 | tee "$output" ||
    status=$?

if [ "$record" = true ]; then
    body=$(mktemp)
    trap 'rm -f "$output" "$body"' EXIT
    {
        echo "Produced by \`scripts/bench.sh --record${*:+ $*}\` on $(date -u +%Y-%m-%d), with"
        echo "$(c++ --version | head -n 1), Release at -O2, no sanitizers."
        echo
        echo "Each target is a ratio measured side by side in the same iteration: opening a"
        echo "voice file beside a plain read of the same file (one buffer, not cleared first,"
        echo "one read), saving a voice file beside a plain copy of its bytes to a new file"
        echo "(read, write, sync), and 1000 phrases beside 100 (medians of all iterations). Peak heap is"
        echo "the most the process held during one open, above what it held before. Speech has"
        echo "one target of its own: from F5 to the first sample of a 20-character phrase handed"
        echo "to a sink in the process that stands for the sound server. Every time"
        echo "is taken by the benchmarks themselves (manual time), so the warning Debian's"
        echo "libbenchmark prints about its own debug build does not touch them."
        echo
        echo '```'
        sed -n '/^Running /,/^| target/p' "$output" | sed '/^| target/d; /^$/d'
        echo '```'
        echo
        sed -n '/^| target/,$p' "$output"
    } >"$body"
    { echo "# Benchmark results"; echo; cat "$body"; } >bench/RESULTS.md
    # The README's speed section is the same text, between its two marker lines.
    sed -i -e '/^<!-- written by scripts\/bench.sh --record -->$/,/^<!-- end of what it writes -->$/{
        /^<!-- written/{p; r '"$body"'
        }
        /^<!-- end of/p
        d
    }' README.md
    echo "Wrote bench/RESULTS.md and the README's speed section"
fi
exit "$status"
