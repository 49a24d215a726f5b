#!/usr/bin/env bash
# What the build script adds to an assembly: kz71.sh on each example against tarn alone
# (hyperfine). The IDE's own part of a build is the script's run plus at most one 5 ms poll.
#   bench/ide/build_script.sh [build folder, default build]
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "${1:-$top/build}" && pwd)"
[[ -x "$build/bin/kz71.sh" && -x "$build/bin/tarn" ]] || { echo "Build $build first." >&2; exit 1; }

# The examples in a private folder, so the runs leave bin/ untouched.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r "$build/bin/examples" "$work/"
cd "$work"
for example in measure eeprom config; do
    source="$work/examples/$example/$example.asm"
    hyperfine --warmup 5 --runs 50 -N \
        --command-name "tarn $example" "$build/bin/tarn $source" \
        --command-name "kz71.sh $example" "$build/bin/kz71.sh $source"
done
