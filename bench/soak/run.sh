#!/usr/bin/env bash
# The long-session measurement: bench/soak/run.sh DRIVER [CYCLES]
#
# Runs CYCLES compile (tarn), download, verify and debug cycles on the simulated programmer
# through one driver of bench/soak/drivers/, and tells whether the session leaked memory, file
# descriptors or processes:
#   inprocess   the sequences in one process (soak_session; default 1000 cycles)
#   processes   tarn and kz71prog started for every step, as a script or a production line
#               does (default 200 cycles; each takes some 3 s of the programs' real pauses)
#   ide         the same cycles through the IDE's pages in the IDE's own process
#               (ide_soak_session on Qt's offscreen platform; default 2000 cycles)
# A driver is a file drivers/NAME.sh that defines
#   soak_default_cycles     how many cycles it runs when none are given
#   soak_run CYCLES EVERY   runs the cycles and prints, at the start and every EVERY cycles, one
#                           line "cycle=N rss_kb=K fds=F children=C" for the process it watches
#                           (soak_sample PID N prints it; see below), and at the end
#                           "cycles=N failed=M"
#
# The samples go to build/soak/DRIVER.log; the summary compares the first sample after the
# warm-up (a tenth of the cycles) with the last. Exit status 1 when a cycle failed or something
# grew that must not.
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
here="$top/bench/soak"

[[ $# -ge 1 && -f "$here/drivers/$1.sh" ]] || {
    echo "usage: bench/soak/run.sh DRIVER [CYCLES]   (drivers: $(cd "$here/drivers" && ls | sed 's/\.sh$//' | tr '\n' ' '))" >&2
    exit 2
}
driver="$1"
cycles="${2:-}"

# One sample of process PID after CYCLE cycles: resident memory, open descriptors, children,
# then EXTRA. Called in the shell that PID is (not in a command substitution, whose subshell
# would be a child): its children are read first, before the sample starts any process itself.
soak_sample() {
    local pid="$1" cycle="$2" extra="${3:-}" kids=() rss fds
    read -r -a kids <"/proc/$pid/task/$pid/children" || true
    rss="$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")"
    fds="$(ls "/proc/$pid/fd" | wc -l)"
    echo "cycle=$cycle rss_kb=$rss fds=$fds children=${#kids[@]}${extra:+ $extra}"
}

soak_build() { cmake --build "$top/build" --target "$@" >/dev/null; }

[[ -f "$top/build/build.ninja" ]] || "$top/scripts/build.sh" "$top/build" >/dev/null
# shellcheck source=/dev/null
source "$here/drivers/$driver.sh"
cycles="${cycles:-$soak_default_cycles}"
every=$(((cycles + 9) / 10))

mkdir -p "$top/build/soak"
log="$top/build/soak/$driver.log"
status=0
soak_run "$cycles" "$every" | tee "$log" || status=$?

awk -v driver="$driver" '
    # Each sample line is a list of name=value.
    /^cycle=/ {
        n++
        for (i = 1; i <= NF; i++) { split($i, kv, "="); v[n, kv[1]] = kv[2] }
        if (v[n, "children"] > maxchildren) maxchildren = v[n, "children"]
    }
    /^cycles=/ { split($2, f, "="); failed = f[2] }
    function grew(name, limit) { return v[n, name] - v[w, name] > limit }
    END {
        if (n < 3) { print "too few samples"; exit 1 }
        w = 2 # the first sample after the warm-up
        printf "%s: %d cycles, %d failed\n", driver, v[n, "cycle"], failed
        printf "resident memory: %d kB at start, %d kB after cycle %d, %d kB after cycle %d (%+d kB)\n",
               v[1, "rss_kb"], v[w, "rss_kb"], v[w, "cycle"], v[n, "rss_kb"], v[n, "cycle"],
               v[n, "rss_kb"] - v[w, "rss_kb"]
        printf "open descriptors: %d after cycle %d, %d after cycle %d\n",
               v[w, "fds"], v[w, "cycle"], v[n, "fds"], v[n, "cycle"]
        printf "child processes left: %d at most\n", maxchildren
        if ((w, "peak_rss_kb") in v)
            printf "largest program: %d kB in cycle %d, %d kB in cycle %d\n",
                   v[w, "peak_rss_kb"], v[w, "cycle"], v[n, "peak_rss_kb"], v[n, "cycle"]
        if ((w, "files") in v)
            printf "files in the folder: %d after cycle %d, %d after cycle %d\n",
                   v[w, "files"], v[w, "cycle"], v[n, "files"], v[n, "cycle"]
        bad = failed != 0 || maxchildren > 0 || grew("fds", 0) || grew("rss_kb", 256) ||
              grew("files", 0) || grew("peak_rss_kb", 256)
        if (bad) { print "LEAK OR FAILURE"; exit 1 }
        print "no leak"
    }' "$log" | tee "$top/build/soak/$driver.summary" || status=1
exit "$status"
