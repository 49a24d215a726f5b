#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in the normal build,
# once under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build --output-on-failure -j2

scripts/build.sh build/sanitize -DCMAKE_BUILD_TYPE=Debug -DKZ71_SANITIZE=ON -DKZ71_BUILD_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build/sanitize --output-on-failure -j2
