#pragma once
// The command line of bipvox-enviar.
#include <QString>
#include <QStringList>

// Exit statuses a script can act on.
enum SaidaDoEnvio {
    TodasAceitas = 0,
    AlgumaNaoEntregue = 1, // refused code, member without a code, or a group cut short
    SemConexao = 2,        // busy, no carrier, no dial tone, no answer, log-on refused
    ErroDeUso = 3,         // bad options, unknown or ambiguous recipient, bad message
    SemPortaOuBanco = 4,   // port held or unusable, modem silent, database unusable
    SemHistorico = 5,      // pages went out but their history rows could not be written
    Interrompido = 130,    // SIGTERM, SIGINT or SIGHUP before every page went (the shell's Ctrl+C status)
};

// The numeric options' ranges and defaults, in the words --help and the docs use ("de 1 a 100;
// padrão 1").
struct FaixaDeOpcao {
    const char* opcao;
    int minimo, maximo, padrao;
};
constexpr FaixaDeOpcao FaixasDasOpcoes[] = {
    {"--tentativas", 1, 100, 1},
    {"--intervalo", 0, 3600, 30},
    // A script's page waits out another program's call (a few pages take well under a minute)
    // instead of failing while the window or the service is sending.
    {"--esperar", 0, 86400, 300},
};

struct OpcoesDoEnvio {
    QString usuario;
    QString grupo;
    QString pager;
    QString nome;
    QString banco;
    int tentativas = FaixasDasOpcoes[0].padrao;
    double intervalo = FaixasDasOpcoes[1].padrao;
    double esperar = FaixasDasOpcoes[2].padrao;
    bool silencioso = false;
    bool fila = false;     // --fila: queue for bipvox-servidor instead of dialling
    bool situacao = false; // --situacao: the words are page ids to report on
    bool ajuda = false;
    bool versao = false;
    QStringList palavras; // the message; a lone "-" means standard input
    QStringList dadas;    // the options given, as written ("--pager")
};

// False, with the reason in erro (Portuguese), for a command line that cannot be run.
bool InterpretaOpcoes(const QStringList& argumentos, OpcoesDoEnvio& opcoes, QString& erro);

extern const char* const TextoDeAjuda;

// A pager code the user dialog would take: 1 to TamanhoDoCodigo characters, no blanks or controls.
constexpr int TamanhoDoCodigo = 10;
bool CodigoValido(const QString& codigo);

// Every option the command line takes, as --help and docs/enviar.md must list them.
QStringList OpcoesConhecidas();
