#!/usr/bin/env bash
# Installs what Bipvox needs on Debian 12 and builds it in ./build (or $BIPVOX_BUILD).
set -euo pipefail
cd "$(dirname "$0")/.."

pacotes=(
    cmake g++ ninja-build pkg-config
    qt6-base-dev qt6-serialport-dev qt6-svg-dev libqt6svg6
    libqt6sql6-sqlite libsqlite3-dev sqlite3 qt6-translations-l10n
    # the shared store on a PostgreSQL server (Qt's QPSQL driver, libpq); the tests start a private
    # cluster of that server (scripts/postgresql.sh)
    libqt6sql6-psql libpq-dev postgresql
    fonts-liberation fonts-dejavu-core
    clang libclang-rt-14-dev
    # scripts/acessibilidade.sh: a virtual screen, a session bus and the accessibility bus
    xvfb xauth dbus at-spi2-core python3-pyatspi
    # scripts/pacote.sh (test.sh --completo builds and checks the Debian package)
    debhelper lintian desktop-file-utils man-db
    # tests/e2e: real SNPP clients paging through bipvox-servidor
    libnet-snpp-perl hylafax-client
)

faltando=()
for p in "${pacotes[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || faltando+=("$p")
done
if [ ${#faltando[@]} -gt 0 ]; then
    echo "Instalando pacotes: ${faltando[*]}"
    if [ "$(id -u)" -eq 0 ]; then
        sudo_cmd=()
    elif command -v sudo >/dev/null 2>&1; then
        sudo_cmd=(sudo)
    else
        echo "Faltam pacotes (${faltando[*]}) e não há sudo: instale-os como root." >&2
        exit 1
    fi
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${faltando[@]}"
fi

build="${BIPVOX_BUILD:-build}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --parallel "$(nproc)"
