#!/usr/bin/env bash
# Runs Bipvox against the simulated modem and paging terminal, in a private demo directory:
# its own copy of the program, its own Pager.Mdb with sample users and groups, its own
# settings file. The real ~/.config/Bipvoxcf.INI is never read or written.
set -euo pipefail

uso() {
    cat <<'TEXTO'
Uso: scripts/demo.sh [DIRETÓRIO_DO_BUILD] [--demo DIR] [--novo] [--terminal] [--conexao TIPO] [-- opções do simulador]

Prepara um diretório de demonstração (padrão ./demo) e abre o Bipvox ligado ao
bipvox-simulador, sem modem e sem mexer na sua configuração de verdade.

  DIRETÓRIO_DO_BUILD  onde o projeto foi compilado (padrão $BIPVOX_BUILD, ou ./build)
  --demo DIR          diretório da demonstração (padrão ./demo)
  --novo              apaga a demonstração anterior (banco, configuração, transcrição) e
                      começa do zero
  --terminal          em vez da janela, abre um shell na demonstração com o bipvox-enviar
                      no PATH, para experimentar o envio pela linha de comando
  --conexao TIPO      como o Bipvox chega à central simulada:
                        modem   um modem Hayes disca para a central (padrão)
                        direta  a central sozinha num cabo serial, sem modem
                        tcp     a central sozinha numa porta TCP de 127.0.0.1
                      cada tipo tem a sua configuração (demo/config, config-direta,
                      config-tcp); com -- --senha=TEXTO a central exige a senha, que a
                      demonstração também grava na configuração
  -- OPÇÕES           o que vier depois de -- vai para o simulador, por exemplo
                      -- --discagem=ocupado,conecta   ou   -- --recusar=1002
                      (veja bipvox-simulador --help)

Ao sair do Bipvox, o simulador é encerrado e o caminho da transcrição é mostrado.
TEXTO
}

build=${BIPVOX_BUILD:-./build}
demo=./demo
novo=0
terminal=0
conexao=modem
extras=()
while [[ $# -gt 0 ]]; do
    case "$1" in
    -h | --help) uso; exit 0 ;;
    --demo) [[ $# -ge 2 ]] || { echo "demo.sh: --demo precisa de um diretório" >&2; exit 2; }
        demo=$2; shift 2 ;;
    --demo=*) demo=${1#*=}; shift ;;
    --novo) novo=1; shift ;;
    --terminal) terminal=1; shift ;;
    --conexao) [[ $# -ge 2 ]] || { echo "demo.sh: --conexao precisa de um tipo" >&2; exit 2; }
        conexao=$2; shift 2 ;;
    --conexao=*) conexao=${1#*=}; shift ;;
    --) shift; extras=("$@"); break ;;
    -*) echo "demo.sh: opção desconhecida: $1 (veja --help)" >&2; exit 2 ;;
    *) build=$1; shift ;;
    esac
done

case "$conexao" in
modem | direta | tcp) ;;
*) echo "demo.sh: --conexao deve ser modem, direta ou tcp" >&2; exit 2 ;;
esac
senha=
for extra in ${extras[@]+"${extras[@]}"}; do
    [[ $extra == --senha=* ]] && senha=${extra#--senha=}
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
        echo "         compile antes (bash scripts/setup.sh), ou indique o build: BIPVOX_BUILD=DIR ou o 1º argumento" >&2
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
config=$demo/config
[[ $conexao == modem ]] || config=$demo/config-$conexao
mkdir -p -- "$config"
touch -- "$marca"

cp -f -- "$bipvox" "$demo/bipvox"
cp -f -- "$enviar" "$demo/bipvox-enviar"
"$criabanco" --se-ausente --exemplos "$demo/Pager.Mdb"

# The settings file is Windows-1252 with CRLF line ends, as the program expects ("OPÇÕES").
ini=$config/Bipvoxcf.INI
link=$demo/modem
escreve_ini() {
    if ! printf '%s' "$1" | sed 's/$/\r/' | iconv -f UTF-8 -t WINDOWS-1252 >"$ini.tmp"; then
        rm -f -- "$ini.tmp"
        echo "demo.sh: o caminho $demo não cabe em Windows-1252; escolha outro com --demo" >&2
        exit 1
    fi
    mv -- "$ini.tmp" "$ini"
}
if [[ $conexao == modem && ! -e $ini ]]; then
    escreve_ini "[MODEM]
Porta Serial=1
COM1=$link
[DISCAGEM]
Linha=Tom
Prefixo=011
Telefone=3311-2400
[OPÇÕES]
AutoEnviar=Sim
"
elif [[ $conexao == direta ]]; then
    escreve_ini "[MODEM]
Porta Serial=1
COM1=$link
Configurações=9600,n,8,1
[CONEXÃO]
Tipo=Direta
Senha=$senha
[OPÇÕES]
AutoEnviar=Sim
"
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

case "$conexao" in
modem) linha=(--link="$link") ;;
direta) linha=(--linha-direta --link="$link") ;;
tcp) linha=(--tcp=0) ;;
esac
rm -f -- "$demo/simulador.dispositivo"
"$simulador" "${linha[@]}" --transcricao="$transcricao" --ritmo ${extras[@]+"${extras[@]}"} \
    >"$demo/simulador.dispositivo" &
simulador_pid=$!
pronto() {
    if [[ $conexao == tcp ]]; then [[ -s $demo/simulador.dispositivo ]]; else [[ -L $link ]]; fi
}
for _ in $(seq 50); do
    pronto && break
    kill -0 "$simulador_pid" 2>/dev/null || { simulador_pid=; echo "demo.sh: o simulador não iniciou" >&2; exit 1; }
    sleep 0.1
done
pronto || { echo "demo.sh: o simulador não ficou pronto" >&2; exit 1; }

dispositivo=$(head -n1 "$demo/simulador.dispositivo")
case "$conexao" in
modem) echo "Modem simulado em $dispositivo (link $link)." ;;
direta) echo "Central simulada em linha direta em $dispositivo (link $link), sem modem." ;;
tcp)
    # The port is whatever was free: the settings follow it on every run.
    escreve_ini "[CONEXÃO]
Tipo=TCP
Endereço=${dispositivo%:*}
Porta TCP=${dispositivo##*:}
Senha=$senha
[OPÇÕES]
AutoEnviar=Sim
"
    echo "Central simulada atendendo por TCP em $dispositivo, sem modem." ;;
esac
if [[ $terminal == 1 ]]; then
    echo "Shell na demonstração ($demo), com bipvox-enviar no PATH; 'exit' encerra. Experimente:"
    echo '  bipvox-enviar --usuario "Ana Souza" "Reunião às 15h"'
    echo '  bipvox-enviar --grupo Plantão "Servidor db1 fora do ar"'
    echo '  echo "Disco cheio em /var" | bipvox-enviar --grupo Plantão -'
    # bipvox-enviar, like Bipvox, finds Pager.Mdb beside itself.
    # In the foreground: a script's background jobs read from /dev/null.
    status=0
    (cd -- "$demo" && XDG_CONFIG_HOME=$config PATH=$demo:$PATH PS1='demo$ ' exec bash --norc) || status=$?
    exit "$status"
fi

echo "Abrindo o Bipvox em $demo; o que a central recebe aparece aqui."
# Bipvox finds Pager.Mdb beside itself and Bipvoxcf.INI in $XDG_CONFIG_HOME.
(cd -- "$demo" && XDG_CONFIG_HOME=$config exec ./bipvox) &
bipvox_pid=$!
status=0
wait "$bipvox_pid" || status=$?
bipvox_pid=
exit "$status"
