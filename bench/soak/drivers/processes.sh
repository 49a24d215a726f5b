# Driver of bench/soak/run.sh: every step a process of its own (tarn, then kz71prog download,
# verify and debug on the simulated programmer, whose memories live in KZ71_SIM_STATE). It
# watches the shell that starts them: descriptors or children left over by the programs would
# show there, and so would files they leave behind (counted in the folder after each cycle).
# Each sample also gives the largest resident memory any of the programs reached in the cycle.
soak_default_cycles=200

# One cycle, on the copies of the programs in ./bin (a build meanwhile changes nothing); each
# program is started behind $SOAK_TIME when that is set.
soak_cycle() {
    local bin="$PWD/bin" time="${SOAK_TIME:-}"
    $time "$bin/tarn" prog.asm >/dev/null &&
        $time "$bin/kz71prog" --simulator download prog.hex >/dev/null &&
        $time "$bin/kz71prog" --simulator verify prog.hex >/dev/null &&
        $time "$bin/kz71prog" --simulator debug prog.hex --break prog.asm:8 --run --step 2 --ram \
            >/dev/null 2>&1
}

# One cycle; prints the largest resident memory (kB) its programs reached, where GNU time is
# there to tell (0 otherwise).
soak_cycle_peak() {
    [[ -x /usr/bin/time ]] || { soak_cycle && echo 0; return; }
    local peaks status=0
    peaks="$(mktemp)"
    SOAK_TIME="/usr/bin/time -a -o $peaks -f %M" soak_cycle || status=1
    sort -n "$peaks" | tail -1
    rm -f "$peaks"
    return $status
}

soak_run() {
    soak_build tarn kz71prog
    local folder failed=0 peak=0 files
    folder="$(mktemp -d)"
    mkdir "$folder/bin"
    cp "$top/build/bin/tarn" "$top/build/bin/kz71prog" "$folder/bin/"
    printf '; counts z up to 3\n\tmove x, 5\n\tincr x\n\tadd y, 3\nloop:\tincr z\n\tcompare z, 3\n\tgotoNE loop\n\tmove r, 9\n\tstop\n' \
        >"$folder/prog.asm"
    (
        cd "$folder"
        export KZ71_SIM_STATE="$folder/state.txt"
        unset KZ71_PROGRAMMER KZ71_SIM_FAULTS
        soak_sample $BASHPID 0
        for ((c = 1; c <= $1; ++c)); do
            peak="$(soak_cycle_peak)" || ((++failed))
            if ((c % $2 == 0)); then
                files="$(ls -A | wc -l)" # bin/ and the four files of the program
                soak_sample $BASHPID "$c" "peak_rss_kb=$peak files=$files"
            fi
        done
        echo "cycles=$1 failed=$failed"
    )
    local status=$?
    rm -rf "$folder"
    return $status
}
