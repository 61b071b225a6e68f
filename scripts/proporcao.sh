#!/usr/bin/env bash
# Lines of tests against lines of code, per folder: non-blank, non-comment lines of .cpp/.h.
# A folder's code is src/<folder> (tools/ for "tools"); its tests are tests/<folder>;
# tests/support and any test folder without code of its own count in the total only.
set -euo pipefail
cd "$(dirname "$0")/.."
conta() {
    [ -d "$1" ] || { echo 0; return; }
    find "$1" \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0r cat | grep -c -v -E '^\s*(//.*)?$' || true
}
printf '%-12s %8s %8s %7s\n' pasta codigo testes razao
for dir in src/*/ tools/; do
    nome=$(basename "$dir")
    codigo=$(conta "$dir")
    testes=$(conta "tests/$nome")
    printf '%-12s %8d %8d %6d%%\n' "$nome" "$codigo" "$testes" $((codigo ? 100 * testes / codigo : 0))
done
printf '%-12s %8s %8d\n' support - "$(conta tests/support)"
codigo=$(($(conta src) + $(conta tools)))
testes=$(conta tests)
printf '%-12s %8d %8d %6d%%\n' total "$codigo" "$testes" $((100 * testes / codigo))
