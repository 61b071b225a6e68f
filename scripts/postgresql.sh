#!/usr/bin/env bash
# A private PostgreSQL cluster for the tests (scripts/test.sh starts one per run).
#   iniciar PASTA [--duravel] [--enquanto PID]
#                                   initdb in PASTA, starts the server on 127.0.0.1 and a free port,
#                                   prints the connection line ("host=127.0.0.1 port=N user=bipvox");
#                                   with --enquanto, the cluster is stopped once process PID ends
#                                   (even killed by SIGKILL, when no trap of its own can run); with
#                                   --duravel, every commit is flushed to the disk as on a site's
#                                   server (for benchmark figures; the tests go without).
#   parar PASTA                     stops the server (fast mode) and removes PASTA; nothing to do is
#                                   no error.
#   rodar COMANDO [ARGUMENTOS...]   runs the command with a cluster of its own (see rodar below).
# initdb and postgres refuse to run as root: as root they run as the "postgres" system user.
set -euo pipefail

usuario_banco=bipvox
marca=.bipvox-postgresql

erro() {
    echo "postgresql.sh: $*" >&2
    # A server started by a failed iniciar is stopped; the folder stays for its log until parar.
    if [ -n "${porta:-}" ] && [ -f "$pasta/dados/postmaster.pid" ]; then
        como_dono "$(binarios)/pg_ctl" stop -D "$pasta/dados" -m immediate -w >/dev/null 2>&1 || true
    fi
    exit 1
}

# The newest server installed (Debian keeps each major version in its own folder).
binarios() {
    local dir
    dir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -t/ -k5 -n | tail -n 1 || true)
    [ -n "$dir" ] && [ -x "$dir/initdb" ] ||
        erro "servidor PostgreSQL não encontrado em /usr/lib/postgresql/*/bin (rode bash scripts/setup.sh)."
    echo "$dir"
}

# Runs a server program as the owner of the cluster, from PASTA so no unreadable cwd gets in the way.
como_dono() {
    if [ "$(id -u)" -eq 0 ]; then
        (cd "$pasta" && runuser -u postgres -- "$@")
    else
        (cd "$pasta" && "$@")
    fi
}

# A port nobody listens on, below the kernel's ephemeral range so that servers the tests open
# on port 0 never take it; a race with another run is settled by retrying in iniciar.
porta_livre() {
    local baixa alta=65000 porta
    baixa=$(awk '{print $1}' /proc/sys/net/ipv4/ip_local_port_range 2>/dev/null || echo 0)
    [ "$baixa" -gt 11000 ] && alta=$((baixa - 1))
    for _ in $(seq 50); do
        porta=$((10000 + (RANDOM * 32768 + RANDOM) % (alta - 10000)))
        (exec 3<>"/dev/tcp/127.0.0.1/$porta") 2>/dev/null || { echo "$porta"; return; }
    done
    erro "nenhuma porta livre encontrada em 127.0.0.1."
}

iniciar() {
    local bin log dono="" duravel=""
    while [ $# -gt 0 ]; do
        if [ "$1" = --duravel ]; then
            duravel=1
            shift
        elif [ "$1" = --enquanto ] && [[ "${2:-}" =~ ^[0-9]+$ ]]; then
            dono=$2
            shift 2
        else
            erro "uso: iniciar PASTA [--duravel] [--enquanto PID]"
        fi
    done
    bin=$(binarios)
    mkdir -p "$pasta"
    [ -z "$(ls -A "$pasta")" ] || erro "a pasta $pasta não está vazia."
    pasta=$(cd "$pasta" && pwd)
    # The socket's path (PASTA/.s.PGSQL.NNNNN) must fit in 107 bytes.
    [ ${#pasta} -le 90 ] || erro "caminho longo demais para o soquete do servidor: $pasta"
    touch "$pasta/$marca"
    if [ "$(id -u)" -eq 0 ]; then
        getent passwd postgres >/dev/null ||
            erro "usuário de sistema postgres não existe (o pacote postgresql o cria: rode bash scripts/setup.sh)."
        chown -R postgres: "$pasta"
        runuser -u postgres -- test -w "$pasta" ||
            erro "o usuário postgres não consegue escrever em $pasta (use uma pasta em /tmp)."
    fi
    log="$pasta/servidor.log"
    como_dono "$bin/initdb" -D "$pasta/dados" -U "$usuario_banco" --auth=trust -E UTF8 --locale=C.UTF-8 \
        --no-sync >"$pasta/initdb.log" 2>&1 ||
        erro "initdb falhou em $pasta/dados: $(tail -n 5 "$pasta/initdb.log")"
    cat >>"$pasta/dados/postgresql.conf" <<EOF
listen_addresses = '127.0.0.1'
unix_socket_directories = '$pasta'
EOF
    # Only this machine, only these tests: no durability needed, every write as fast as it can be.
    [ -n "$duravel" ] || printf 'fsync = off\nsynchronous_commit = off\nfull_page_writes = off\n' \
        >>"$pasta/dados/postgresql.conf"
    for tentativa in 1 2 3 4 5; do
        porta=$(porta_livre)
        rm -f "$log"
        if como_dono "$bin/pg_ctl" start -D "$pasta/dados" -l "$log" -w -t 60 -o "-p $porta" >/dev/null 2>&1; then
            break
        fi
        # Another process took the port between the check and the bind: try another one.
        grep -q "could not bind\|could not create any TCP/IP sockets\|Address already in use" "$log" 2>/dev/null &&
            [ "$tentativa" -lt 5 ] || erro "o servidor não iniciou; fim do registro ($log):
$(tail -n 15 "$log" 2>/dev/null)"
        porta=""
    done
    local linha="host=127.0.0.1 port=$porta user=$usuario_banco"
    for _ in $(seq 60); do
        "$bin/pg_isready" -q -h 127.0.0.1 -p "$porta" -U "$usuario_banco" -d postgres && break
        sleep 0.5
    done
    "$bin/pg_isready" -q -h 127.0.0.1 -p "$porta" -U "$usuario_banco" -d postgres ||
        erro "o servidor em 127.0.0.1:$porta não aceita conexões (registro em $log)."
    # The store's name order and equality rely on ICU collations.
    local icu
    icu=$("$bin/psql" -X -At -h 127.0.0.1 -p "$porta" -U "$usuario_banco" -d postgres -c \
        "SELECT count(*) FROM pg_collation WHERE collname IN ('und-x-icu', 'pt-BR-x-icu')" 2>&1) || true
    [ "$icu" = 2 ] || erro "o servidor não tem as ordenações ICU und-x-icu e pt-BR-x-icu (resposta: $icu)."
    if [ -n "$dono" ]; then
        # Detached from the caller's session and outputs, so neither a kill of its process group
        # nor a caller reading our output waits on it.
        setsid bash -c 'while kill -0 "$1" 2>/dev/null && [ -f "$2/guarda.pid" ]; do sleep 1; done
                        [ -f "$2/guarda.pid" ] && rm -f "$2/guarda.pid" && exec bash "$3" parar "$2"' \
            guarda "$dono" "$pasta" "$(cd "$(dirname "$0")" && pwd)/postgresql.sh" \
            </dev/null >/dev/null 2>&1 &
        echo $! >"$pasta/guarda.pid"
    fi
    echo "$linha"
}

parar() {
    [ -d "$pasta" ] || return 0
    if [ ! -e "$pasta/$marca" ]; then
        [ -z "$(ls -A "$pasta")" ] && { rmdir "$pasta"; return 0; }
        erro "$pasta não é uma pasta criada por scripts/postgresql.sh iniciar: nada removido."
    fi
    if [ -f "$pasta/guarda.pid" ]; then
        local guarda
        guarda=$(cat "$pasta/guarda.pid" 2>/dev/null || true)
        rm -f "$pasta/guarda.pid"
        [ -n "$guarda" ] && kill "$guarda" 2>/dev/null || true
    fi
    if [ -f "$pasta/dados/postmaster.pid" ]; then
        local bin pid
        bin=$(binarios)
        pid=$(head -n 1 "$pasta/dados/postmaster.pid" 2>/dev/null || true)
        como_dono "$bin/pg_ctl" stop -D "$pasta/dados" -m fast -w -t 30 >/dev/null 2>&1 || true
        # A server that would not stop still must not outlive the folder.
        if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null && tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null |
            grep -q "$pasta/dados"; then
            como_dono "$bin/pg_ctl" stop -D "$pasta/dados" -m immediate -w -t 10 >/dev/null 2>&1 ||
                kill -KILL "$pid" 2>/dev/null || true
        fi
    fi
    rm -rf "$pasta"
}

# The test scripts' way: a cluster in a new folder under /tmp for the time of one command, which
# gets its connection line in BIPVOX_PG_TESTE and BIPVOX_PG_EXIGIDO=1 (a test that cannot reach
# the server fails instead of skipping); stopped however the command or this script ends.
rodar() {
    [ $# -gt 0 ] || erro "uso: bash scripts/postgresql.sh rodar COMANDO [ARGUMENTOS...]"
    pasta=$(mktemp -d /tmp/bipvox-pg.XXXXXX)
    trap 'parar' EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    trap 'exit 129' HUP
    BIPVOX_PG_TESTE=$(iniciar --enquanto $$) ||
        erro "os testes precisam de um servidor PostgreSQL e ele não pôde ser iniciado (veja acima)."
    export BIPVOX_PG_TESTE BIPVOX_PG_EXIGIDO=1
    "$@"
}

uso="uso: bash scripts/postgresql.sh iniciar PASTA [--duravel] [--enquanto PID] | parar PASTA | rodar COMANDO..."
comando=${1:-}
[ $# -ge 2 ] || erro "$uso"
shift
case "$comando" in
iniciar) pasta=$1; shift; iniciar "$@" ;;
parar) pasta=$1; parar ;;
rodar) rodar "$@" ;;
*) erro "comando desconhecido: $comando ($uso)" ;;
esac
