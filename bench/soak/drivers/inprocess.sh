# Driver of bench/soak/run.sh: the sequences in one process, soak_session.
soak_default_cycles=1000

soak_run() {
    soak_build soak_session
    local folder
    folder="$(mktemp -d)"
    "$top/build/bench/bin/soak_session" --cycles "$1" --every "$2" --folder "$folder"
    local status=$?
    rm -rf "$folder"
    return $status
}
