#!/usr/bin/env bash
# The README's shell demonstration, run from a folder without ./build: the build is found through
# BIPVOX_BUILD alone, and its first example pages Ana Souza through the simulator.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/../.." && pwd)
build=$1
fora=$(mktemp -d)
trap 'rm -rf -- "$fora"' EXIT
cd -- "$fora"
# Port locks of its own, as every test keeps.
mkdir -p "$fora/travas"
status=0
saida=$(echo 'bipvox-enviar --usuario "Ana Souza" "Reunião às 15h"; exit $?' |
    BIPVOX_BUILD=$build BIPVOX_TRAVAS=$fora/travas bash "$raiz/scripts/demo.sh" --demo "$fora/demo" \
        --terminal 2>&1) || status=$?
if [ "$status" -ne 0 ]; then
    echo "$saida"
    echo "FALHOU: demo.sh --terminal saiu com $status" >&2
    exit 1
fi
grep '"tipo":"pagina"' "$fora/demo/transcricao.jsonl" | grep -q '"mensagem":"Reuniao as 15h"' || {
    echo "$saida"
    echo "FALHOU: a central não recebeu a página" >&2
    exit 1
}
echo "ok: demo.sh achou o build por BIPVOX_BUILD e a página chegou"
