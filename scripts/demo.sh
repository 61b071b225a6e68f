#!/usr/bin/env bash
# Runs Bipvox against the simulated modem and paging terminal, in a private demo directory:
# its own copy of the program, its own Pager.Mdb with sample users and groups, its own
# settings file. The real ~/.config/Bipvoxcf.INI is never read or written.
set -euo pipefail

uso() {
    cat <<'TEXTO'
Uso: scripts/demo.sh [DIRETÓRIO_DO_BUILD] [--demo DIR] [--novo] [--terminal] [-- opções do simulador]

Prepara um diretório de demonstração (padrão ./demo) e abre o Bipvox ligado ao
bipvox-simulador, sem modem e sem mexer na sua configuração de verdade.

  DIRETÓRIO_DO_BUILD  onde o projeto foi compilado (padrão ./build)
  --demo DIR          diretório da demonstração (padrão ./demo)
  --novo              apaga a demonstração anterior (banco, configuração, transcrição) e
                      começa do zero
  --terminal          em vez da janela, abre um shell na demonstração com o bipvox-enviar
                      no PATH, para experimentar o envio pela linha de comando
  -- OPÇÕES           o que vier depois de -- vai para o simulador, por exemplo
                      -- --discagem=ocupado,conecta   ou   -- --recusar=1002
                      (veja bipvox-simulador --help)

Ao sair do Bipvox, o simulador é encerrado e o caminho da transcrição é mostrado.
TEXTO
}

build=./build
demo=./demo
novo=0
terminal=0
extras=()
while [[ $# -gt 0 ]]; do
    case "$1" in
    -h | --help) uso; exit 0 ;;
    --demo) [[ $# -ge 2 ]] || { echo "demo.sh: --demo precisa de um diretório" >&2; exit 2; }
        demo=$2; shift 2 ;;
    --demo=*) demo=${1#*=}; shift ;;
    --novo) novo=1; shift ;;
    --terminal) terminal=1; shift ;;
    --) shift; extras=("$@"); break ;;
    -*) echo "demo.sh: opção desconhecida: $1 (veja --help)" >&2; exit 2 ;;
    *) build=$1; shift ;;
    esac
done

build=$(realpath -m -- "$build")
demo=$(realpath -m -- "$demo")
bipvox=$build/src/bipvox
enviar=$build/src/bipvox-enviar
simulador=$build/tools/bipvox-simulador
criabanco=$build/tools/bipvox-criabanco
for programa in "$bipvox" "$enviar" "$simulador" "$criabanco"; do
    if [[ ! -x $programa ]]; then
        echo "demo.sh: não encontrei $programa" >&2
        echo "         compile antes: cmake -S . -B build -G Ninja && cmake --build build" >&2
        exit 1
    fi
done

marca=$demo/.bipvox-demo
if [[ -e $demo && ! -e $marca && -n $(ls -A -- "$demo" 2>/dev/null) ]]; then
    echo "demo.sh: $demo já existe e não é uma demonstração do Bipvox; escolha outro com --demo" >&2
    exit 1
fi
if [[ $novo == 1 && -e $marca ]]; then
    rm -rf -- "$demo"
fi
mkdir -p -- "$demo/config"
touch -- "$marca"

cp -f -- "$bipvox" "$demo/bipvox"
cp -f -- "$enviar" "$demo/bipvox-enviar"
"$criabanco" --se-ausente --exemplos "$demo/Pager.Mdb"

# The settings file is Windows-1252 with CRLF line ends, as the program expects ("OPÇÕES").
ini=$demo/config/Bipvoxcf.INI
link=$demo/modem
if [[ ! -e $ini ]]; then
    texto="[MODEM]
Porta Serial=1
COM1=$link
[DISCAGEM]
Linha=Tom
Prefixo=011
Telefone=3311-2400
[OPÇÕES]
AutoEnviar=Sim
"
    if ! printf '%s' "$texto" | sed 's/$/\r/' | iconv -f UTF-8 -t WINDOWS-1252 >"$ini.tmp"; then
        rm -f -- "$ini.tmp"
        echo "demo.sh: o caminho $demo não cabe em Windows-1252; escolha outro com --demo" >&2
        exit 1
    fi
    mv -- "$ini.tmp" "$ini"
fi

transcricao=$demo/transcricao.jsonl
simulador_pid=
bipvox_pid=
# shellcheck disable=SC2317 # called by the EXIT trap
encerra() {
    for pid in $bipvox_pid $simulador_pid; do
        if kill -0 "$pid" 2>/dev/null; then
            kill -TERM "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
    echo
    echo "Transcrição da sessão (JSON, um registro por linha): $transcricao"
    echo "Páginas recebidas pela central:  grep '\"tipo\":\"pagina\"' '$transcricao'"
}
trap encerra EXIT
trap 'exit 130' INT TERM

"$simulador" --link="$link" --transcricao="$transcricao" --ritmo ${extras[@]+"${extras[@]}"} \
    >"$demo/simulador.dispositivo" &
simulador_pid=$!
for _ in $(seq 50); do
    [[ -L $link ]] && break
    kill -0 "$simulador_pid" 2>/dev/null || { simulador_pid=; echo "demo.sh: o simulador não iniciou" >&2; exit 1; }
    sleep 0.1
done
[[ -L $link ]] || { echo "demo.sh: o simulador não criou $link" >&2; exit 1; }

echo "Modem simulado em $(head -n1 "$demo/simulador.dispositivo") (link $link)."
if [[ $terminal == 1 ]]; then
    echo "Shell na demonstração ($demo), com bipvox-enviar no PATH; 'exit' encerra. Experimente:"
    echo '  bipvox-enviar --usuario "Ana Souza" "Reunião às 15h"'
    echo '  bipvox-enviar --grupo Plantão "Servidor db1 fora do ar"'
    echo '  echo "Disco cheio em /var" | bipvox-enviar --grupo Plantão -'
    # bipvox-enviar, like Bipvox, finds Pager.Mdb beside itself.
    # In the foreground: a script's background jobs read from /dev/null.
    status=0
    (cd -- "$demo" && XDG_CONFIG_HOME=$demo/config PATH=$demo:$PATH PS1='demo$ ' exec bash --norc) || status=$?
    exit "$status"
fi

echo "Abrindo o Bipvox em $demo; o que a central recebe aparece aqui."
# Bipvox finds Pager.Mdb beside itself and Bipvoxcf.INI in $XDG_CONFIG_HOME.
(cd -- "$demo" && XDG_CONFIG_HOME=$demo/config exec ./bipvox) &
bipvox_pid=$!
status=0
wait "$bipvox_pid" || status=$?
bipvox_pid=
exit "$status"
