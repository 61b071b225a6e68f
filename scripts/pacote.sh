#!/usr/bin/env bash
# Builds the Debian packages (bipvox and bipvox-simulador) from the files of this checkout with
# dpkg-buildpackage and debhelper, checks them with lintian and desktop-file-validate, and leaves
# the .deb files in ./pacotes (or the folder given). With --verificar, also unpacks bipvox into a
# scratch root and checks that it runs there for a user without settings or database.
set -euo pipefail
cd "$(dirname "$0")/.."
verificar=0
if [ "${1:-}" = --verificar ]; then
    verificar=1
    shift
fi
saida=$(realpath -m "${1:-pacotes}")
mkdir -p "$saida"
# A fixed folder, so ccache finds the objects of the last package build.
trabalho=/tmp/bipvox-pacote
rm -rf "$trabalho"
mkdir -p "$trabalho"
trap 'rm -rf "$trabalho"' EXIT

# The files git knows (committed or not, never build outputs): what a clean checkout holds.
fonte="$trabalho/bipvox-1.0"
mkdir -p "$fonte"
git ls-files -co --exclude-standard -z | tar --null -T - -cf - | tar -xf - -C "$fonte"

if command -v ccache >/dev/null 2>&1; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi
export DEB_BUILD_OPTIONS="parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}"
(cd "$fonte" && dpkg-buildpackage -us -uc -b >"$trabalho/construcao.log" 2>&1) || {
    tail -n 60 "$trabalho/construcao.log" >&2
    echo "pacote.sh: dpkg-buildpackage falhou" >&2
    exit 1
}
cp "$trabalho"/*.deb "$saida"/
echo "Pacotes em $saida:"
ls -1 "$saida"/*.deb

# Errors and warnings fail the build (there are none today).
lintian --fail-on error,warning "$trabalho"/*.changes
desktop-file-validate "$fonte/data/bipvox.desktop"

[ "$verificar" = 1 ] || exit 0

# The installed programs, run from a scratch root by a user with an empty home.
instalado="$trabalho/raiz"
dpkg -x "$saida"/bipvox_1.0_*.deb "$instalado"
casa="$trabalho/casa"
mkdir -p "$casa"
como_usuario() {
    env -i HOME="$casa" PATH="$instalado/usr/bin:/usr/bin:/bin" LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen \
        MANPATH="$instalado/usr/share/man" "$@"
}
como_usuario bipvox-enviar --version | grep -q '^bipvox-enviar (Bipvox) 1.0$' || {
    echo "pacote.sh: bipvox-enviar --version não respondeu" >&2
    exit 1
}
como_usuario man -P cat bipvox-enviar 2>/dev/null | grep -q -- '--fila' || {
    echo "pacote.sh: man bipvox-enviar não mostrou o manual" >&2
    exit 1
}
# A first start stops at the modem question (a modal window): it must be running there, with the
# empty database made in the user's data folder.
codigo=0
como_usuario timeout 15 bipvox >"$trabalho/bipvox.log" 2>&1 || codigo=$?
banco="$casa/.local/share/bipvox/Pager.Mdb"
if [ "$codigo" != 124 ] || ! head -c 16 "$banco" 2>/dev/null | grep -q 'SQLite format 3'; then
    cat "$trabalho/bipvox.log" >&2
    echo "pacote.sh: o bipvox instalado não iniciou para um usuário novo (saída $codigo)" >&2
    exit 1
fi
echo "Pacote verificado: bipvox-enviar --version, man bipvox-enviar e a primeira partida do bipvox."
