#!/usr/bin/env bash
# Installs what is missing, builds, and starts the main program from build/bin.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cd build/bin

if [[ -x ./kz71-assembler ]]; then
    if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
        echo "No display found: starting the IDE under Xvfb." >&2
        exec xvfb-run -a -s "-screen 0 1280x1024x24" ./kz71-assembler --simulator "$@"
    fi
    exec ./kz71-assembler --simulator "$@"
fi

# Until the IDE exists: assemble the bundled example and show what tarn made of it.
[[ -x ./tarn ]] || { echo "Nothing to start yet: build/bin holds no program." >&2; exit 1; }
./tarn examples/demo.asm
for f in examples/demo.hex examples/demo.epr examples/demo.dbg; do
    [[ -f "$f" ]] && { echo "== $f"; cat "$f"; }
done
exit 0
