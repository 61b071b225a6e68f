#!/usr/bin/env bash
# Builds the whole program and its tests with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer in ./build-fuzz (or $BIPVOX_BUILD_FUZZ) and runs every test there;
# any report fails the run. The PostgreSQL tests get a private cluster (scripts/postgresql.sh).
# With --configurar it only configures the folder (scripts/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BIPVOX_BUILD_FUZZ:-build-fuzz}
lancador=()
command -v ccache >/dev/null 2>&1 && lancador=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
if [ ! -f "$build/CMakeCache.txt" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBIPVOX_FUZZ=ON \
        "${lancador[@]}" >/dev/null
fi
[ "${1:-}" = --configurar ] && exit 0

cmake --build "$build" --parallel "$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
bash scripts/postgresql.sh rodar ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"
