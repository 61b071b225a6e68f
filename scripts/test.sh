#!/usr/bin/env bash
# Runs every test of the build in ./build (or $BIPVOX_BUILD). With --completo, then the whole
# suite again under AddressSanitizer and UndefinedBehaviorSanitizer (scripts/sanitizado.sh) and
# each fuzz target for a short time (scripts/fuzz.sh; BIPVOX_FUZZ_SEGUNDOS, padrão 12 s cada), and
# the Debian package built, checked by lintian and tried from a scratch root (scripts/pacote.sh).
# The tests of the PostgreSQL store run against a private cluster started for the run
# (scripts/postgresql.sh rodar): no server, no run.
set -euo pipefail
cd "$(dirname "$0")/.."
completo=0
if [ "${1:-}" = --completo ]; then
    completo=1
    shift
fi
build="${BIPVOX_BUILD:-build}"
export QT_QPA_PLATFORM=offscreen
bash scripts/postgresql.sh rodar ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" "$@"
if [ "$completo" = 1 ]; then
    bash scripts/sanitizado.sh
    bash scripts/fuzz.sh "${BIPVOX_FUZZ_SEGUNDOS:-12}"
    bash scripts/pacote.sh --verificar "$build/pacotes"
fi
