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

echo "build/bin holds no kz71-assembler: the IDE was not built (is KZ71_BUILD_IDE off?)." >&2
exit 1
