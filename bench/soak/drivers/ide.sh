# Driver of bench/soak/run.sh: the cycles through the IDE's pages in the IDE's own process
# (ide_soak_session, on Qt's offscreen platform). The Download page's message box keeps its last
# 5000 lines, which the first 125 or so cycles fill; the warm-up (a tenth of the cycles) covers
# them with the default. The offscreen platform's notes on standard error are dropped.
soak_default_cycles=2000

soak_run() {
    soak_build ide_soak_session
    local folder status=0
    folder="$(mktemp -d)"
    "$top/build/bench/bin/ide_soak_session" --cycles "$1" --every "$2" --folder "$folder/run" \
        2>"$folder/stderr" || status=$?
    grep -v -e propagateSizeHints -e XDG_RUNTIME_DIR "$folder/stderr" >&2 || true
    rm -rf "$folder"
    return $status
}
