#!/usr/bin/env bash
# Runs every test of the build in ./build (or $BIPVOX_BUILD).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BIPVOX_BUILD:-build}"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" "$@"
