#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) in
# ./build-fuzz (or $BIPVOX_BUILD_FUZZ) and runs each for SEGUNDOS seconds (padrão 60) from its
# seed corpus in fuzz/corpus/. A crash, a sanitizer report or a broken property fails the run;
# the input that caused it is kept in build-fuzz/achados/.
set -euo pipefail
cd "$(dirname "$0")/.."
segundos=${1:-60}
build=${BIPVOX_BUILD_FUZZ:-build-fuzz}
alvos=(ini win1252 resposta bloco_tap opcoes_enviar)

bash scripts/sanitizado.sh --configurar
cmake --build "$build" --parallel "$(nproc)" --target "${alvos[@]/#/fuzz_}"

mkdir -p "$build/achados"
falhas=0
for alvo in "${alvos[@]}"; do
    # New inputs found go to a scratch copy, so the seed corpus in the tree stays as committed.
    trabalho="$build/corpus/$alvo"
    mkdir -p "$trabalho"
    echo "== fuzz_$alvo: $segundos s"
    if ! "$build/fuzz/fuzz_$alvo" -max_total_time="$segundos" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$build/achados/$alvo-" "$trabalho" "fuzz/corpus/$alvo" \
        >"$build/achados/$alvo.log" 2>&1; then
        falhas=$((falhas + 1))
        grep -E "propriedade violada|ERROR|SUMMARY|runtime error" "$build/achados/$alvo.log" | head -20 || true
        echo "FALHOU: fuzz_$alvo (registro em $build/achados/$alvo.log)"
    else
        grep -E "stat::number_of_executed_units" "$build/achados/$alvo.log" || true
    fi
done
[ "$falhas" -eq 0 ] || { echo "fuzz: $falhas alvo(s) falharam"; exit 1; }
echo "fuzz: todos os ${#alvos[@]} alvos passaram ${segundos} s cada"
