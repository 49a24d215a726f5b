#!/usr/bin/env bash
# Start-up time of kz71-assembler on Xvfb (1024 x 768): from launching the program to the
# first moment its event loop waits for input. Goal: below 400 ms.
#   bench/ide/startup.sh [build folder, default build] [runs, default 15]
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "${1:-$top/build}" && pwd)"
runs="${2:-15}"
[[ -x "$build/bin/kz71-assembler" ]] || { echo "Build $build first." >&2; exit 1; }

# A private copy of the installation, so the runs leave bin/ untouched.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for entry in "$build"/bin/*; do ln -s "$entry" "$work/"; done
rm "$work/kz71-assembler" "$work/settings.ini" "$work/win32.info" 2>/dev/null || true
cp "$build/bin/kz71-assembler" "$work/"

cd "$work"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    for ((i = 0; i < '"$runs"'; ++i)); do
        start=$(date +%s%3N)
        idle=$(KZ71_EXIT_WHEN_IDLE=1 ./kz71-assembler 2>/dev/null | sed -n "s/^idle //p")
        echo $((idle - start))
    done' | sort -n | awk '
    { t[NR] = $1 }
    END {
        if (NR == 0) { print "no run reported its idle moment"; exit 1 }
        printf "kz71-assembler start-up to first idle (%d runs): min %d ms, median %d ms, max %d ms\n",
               NR, t[1], t[int((NR + 1) / 2)], t[NR]
    }'
