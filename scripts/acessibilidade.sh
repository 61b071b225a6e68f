#!/usr/bin/env bash
# Runs the demonstration (scripts/demo.sh, TCP connection) in a virtual screen without a window
# manager, with its own session and accessibility bus, and checks through AT-SPI what a screen
# reader reads from the panels that show data (scripts/acessibilidade.py). Needs xvfb,
# dbus, at-spi2-core, python3-pyatspi and imagemagick (screenshots); see scripts/setup.sh.
#   scripts/acessibilidade.sh [DIRETÓRIO_DO_BUILD] [PASTA_DAS_FOTOS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-${BIPVOX_BUILD:-build}}")
fotos=${2:-}
demo=$(mktemp -d)
trap 'rm -rf -- "$demo"' EXIT

# A demonstration with messages already sent to every user, so their history opens.
touch "$demo/.bipvox-demo"
"$build/tools/bipvox-criabanco" --exemplos "$demo/Pager.Mdb" >/dev/null
/usr/bin/python3 - "$demo/Pager.Mdb" <<'PY'
import sqlite3, sys
banco = sqlite3.connect(sys.argv[1])
banco.create_collation("NOME", lambda a, b: (a.casefold() > b.casefold()) - (a.casefold() < b.casefold()))
for id_, nome, pager in banco.execute("Select ID_Usuario, Nome_Usuario, ID_Pager From Usuarios").fetchall():
    banco.execute("Insert Into Log Values ('20261206', '09:30', ?, 'Reunião às 15h', ?, ?)", (nome, pager, id_))
banco.commit()
PY

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 BIPVOX_BUILD=$build DEMO=$demo FOTOS=$fotos
exec xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately &
    bash scripts/demo.sh "$BIPVOX_BUILD" --demo "$DEMO" --conexao tcp >"$DEMO/demo.log" 2>&1 &
    demo=$!
    status=0
    /usr/bin/python3 scripts/acessibilidade.py "$FOTOS" || status=$?
    kill "$demo" 2>/dev/null || true
    exit "$status"'
