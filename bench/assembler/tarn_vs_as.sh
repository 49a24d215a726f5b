#!/usr/bin/env bash
# The whole tarn process against GNU as (x86-64) on a maximum-size program: about 8000 lines
# with constants, labels, comments, short and long jumps and calls, 8143 bytes of KZ71 code,
# and an as file of the same number of lines of the same shape, line for line. Both run in
# one hyperfine session; the script prints tarn's time as a fraction of as's (goal: at most
# 0.5, and tarn under 5 ms), then the peak memory of both, and of tarn on large sources of
# short lines against its budget of three times the source's size plus 50 MB.
#   bench/assembler/tarn_vs_as.sh [build folder, default build] [large source MB, default 31 50]
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "${1:-$top/build}" && pwd)"
shift $(($# > 0 ? 1 : 0))
large_sizes=("$@")
[[ ${#large_sizes[@]} -gt 0 ]] || large_sizes=(31 50)
tarn="$build/bin/tarn"
peak="$build/bench/bin/peak_memory"
for program in "$tarn" "$peak"; do
    [[ -x "$program" ]] || { echo "Build $program first." >&2; exit 1; }
done
for tool in hyperfine as; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed." >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

# 198 blocks of 41 lines and 41 bytes each, then 25 nops: 8143 lines and 8143 bytes. Each tarn
# line has its as counterpart: a comment for a comment, .equ for CONST, a label for a label,
# a register instruction for a one-byte statement, jne/jmp/call for the short jump, the long
# jump and the call.
awk -v blocks=198 -v pad=25 '
BEGIN {
    n = split("clear x|add x, y|sub y, z|compare z, x|move x, r|swap x, y|getflag y|incr x|" \
              "decr r|shiftR x|rotL y|shiftL z|rotR r|clrC|setC|nop|incramadr|decramadr|" \
              "ramadr 5|getepr z|skipEQ 1|add z, r|sub r, x|move z, y", kz, "|")
    split("xor %eax, %eax|add %ebx, %eax|sub %ecx, %ebx|cmp %eax, %ecx|mov %edx, %eax|" \
          "xchg %ebx, %eax|lahf|inc %eax|dec %edx|sar %eax|rol %ebx|shl %ecx|ror %edx|clc|" \
          "stc|nop|inc %esi|dec %esi|mov $5, %esi|mov (%rsi), %ecx|cmove %ebx, %eax|" \
          "add %edx, %ecx|sub %eax, %edx|mov %ebx, %ecx", x86, "|")
    for (k = 0; k < blocks; ++k) {
        both("; block " k ": filter step", "# block " k ": filter step")
        both("CONST GAIN" k " " (1000 + k), ".equ GAIN" k ", " (1000 + k))
        both("CONST MASK" k " " (k * 37 % 65536), ".equ MASK" k ", " (k * 37 % 65536))
        both("L" k ":", "L" k ":")
        for (i = 1; i <= n; ++i) {
            if (i % 4 == 1) both("        ; stage " i, "        # stage " i)
            note = i % 6 == 0 ? "    ; step " i : ""
            both("        " kz[i] note, "        " x86[i] (note == "" ? "" : "    # step " i))
        }
        both("        move y, GAIN" k, "        mov $GAIN" k ", %ebx")
        both("        and x, MASK" k, "        and $MASK" k ", %eax")
        both("", "")
        both("        gotoNE L" k, "        jne L" k)
        both("        jsub L" ((k + blocks / 2) % blocks), "        call L" ((k + blocks / 2) % blocks))
        both("        goto L" ((k + 9) % blocks), "        jmp L" ((k + 9) % blocks))
        both("", "")
    }
    for (i = 0; i < pad; ++i) both("        nop", "        nop")
}
function both(tarn_line, as_line) {
    print tarn_line > "max.asm"
    print as_line > "max.s"
}'

"$tarn" max.asm >tarn.out
if ! grep -q "Processing was successful" tarn.out || ! grep -q "^1FCE: " max.hex ||
    grep -q "^1FD0: " max.hex; then
    echo "The generated program is not exactly 8143 bytes of code:" >&2
    cat tarn.out >&2
    exit 1
fi
as -o max.o max.s
echo "Program: $(wc -l <max.asm) lines, 8143 bytes of KZ71 code ($(wc -c <max.asm) bytes of" \
     "source); the as file has $(wc -l <max.s) lines."

hyperfine -N --warmup 30 --min-runs 300 --export-csv times.csv \
    -n tarn "$tarn max.asm" -n as "as -o max.o max.s"
awk -F, 'NR > 1 { mean[$1] = $2 }
    END {
        printf "tarn %.2f ms, as %.2f ms: tarn takes %.2f times as long as as " \
               "(goal: at most 0.50, and under 5 ms)\n",
               mean["tarn"] * 1000, mean["as"] * 1000, mean["tarn"] / mean["as"]
    }' times.csv

kilobytes() { # program arguments...: the peak resident memory of one run, in KB
    "$peak" peak.txt "$@" >/dev/null 2>&1 || true
    cat peak.txt
}
echo "Peak memory: tarn $(kilobytes "$tarn" max.asm) KB, as $(kilobytes as -o max.o max.s) KB"
for megabytes in "${large_sizes[@]}"; do
    budget=$((3 * megabytes * 1000 + 50 * 1024))
    for line in "        nop" "nop"; do
        (yes "$line" || true) | head -c "$((megabytes * 1000000))" >large.asm
        echo "Large source, $megabytes MB of \"$line\" lines: tarn $(kilobytes "$tarn" large.asm) KB" \
             "(budget $budget KB)"
    done
done
