#!/usr/bin/env bash
# Fuzzes one target for a given time: bench/fuzz/run.sh TARGET SECONDS [libFuzzer options...]
#
# TARGET is a folder of tests/fuzz/ (download_image, debug_tables, ide_settings,
# programmer_device, host_sequences, sim_files) or "tarn" for the assembler's target. Builds the
# clang tree (build/fuzz; build/fuzz-ide for ide_settings, which needs the IDE's tree) when it is
# missing or out of date, then runs the fuzzer on one core from the stored corpus. New inputs go
# to build/fuzz*/corpus/TARGET, anything that breaks the target to build/fuzz*/findings/TARGET.
# The last lines say how many inputs ran and what coverage was reached; the whole log stays in
# build/fuzz*/logs/TARGET.log. Exit status 1 when the fuzzer found something.
#
# After fixing a finding, copy its reproducer into tests/fuzz/TARGET/corpus/ so that every test
# run replays it.
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"

usage() {
    echo "usage: bench/fuzz/run.sh TARGET SECONDS [libFuzzer options...]" >&2
    echo "targets: tarn $(cd "$top/tests/fuzz" && for d in */; do
        [[ -f "$d/CMakeLists.txt" && "$d" != support/ ]] && printf '%s ' "${d%/}"; done)" >&2
    exit 2
}
[[ $# -ge 2 ]] || usage
target="$1"
seconds="$2"
shift 2
[[ "$seconds" =~ ^[0-9]+$ ]] || usage

if [[ "$target" == tarn ]]; then
    corpus_in="$top/tests/fuzz/corpus"
    program=tarn_fuzzer
else
    [[ -f "$top/tests/fuzz/$target/CMakeLists.txt" && "$target" != support ]] || usage
    corpus_in="$top/tests/fuzz/$target/corpus"
    program="${target}_fuzzer"
fi

command -v clang++ >/dev/null || {
    echo "bench/fuzz/run.sh: clang is needed (Debian: apt-get install clang)" >&2
    exit 2
}

tree="$top/build/fuzz"
ide=OFF
if [[ "$target" == ide_settings ]]; then
    tree="$top/build/fuzz-ide"
    ide=ON
fi
if [[ ! -f "$tree/build.ninja" ]]; then
    CC=clang CXX=clang++ cmake -S "$top" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKZ71_FUZZ=ON -DKZ71_BUILD_IDE="$ide" -DKZ71_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$tree" --target "$program"

work="$tree/corpus/$target"
findings="$tree/findings/$target"
log="$tree/logs/$target.log"
mkdir -p "$work" "$findings" "$(dirname "$log")"

# The readers under test refuse devices and FIFOs themselves; a timeout of 10 s per input
# catches a hang, and the memory bound a runaway allocation.
status=0
"$tree/bin/$program" "$work" "$corpus_in" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" "$@" \
    >"$log" 2>&1 || status=$?

grep -E '^#[0-9]+[[:space:]]+(DONE|INITED)' "$log" | tail -2 || true
grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' \
    "$log" || true
if [[ $status -ne 0 ]] || ls "$findings" | grep -q .; then
    echo "findings in $findings:" >&2
    ls -1 "$findings" >&2 || true
    grep -E 'ERROR: |SUMMARY: ' "$log" | head -5 >&2 || true
    exit 1
fi
