// bipvox-enviar: sends a page from the command line, for scripts and monitoring systems, with
// the window program's settings, database and sending routines.
#include "EnvioPelaLinhaDeComando.h"
#include "FilaPelaLinhaDeComando.h"
#include "MensagemDoEnvio.h"
#include "OpcoesDoEnvio.h"
#include "OperadorDeConsole.h"
#include "common/Interrupcao.h"
#include "common/Modulo.h"
#include "common/RelogioReal.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication aplicacao(argc, argv);
    // From the start: a signal before the send begins still ends it cleanly, with its own status.
    Interrupcao::Instala();
    OpcoesDoEnvio opcoes;
    QString erro;
    if (!InterpretaOpcoes(aplicacao.arguments().mid(1), opcoes, erro)) {
        std::fprintf(stderr, "bipvox-enviar: %s (veja bipvox-enviar --help)\n",
                     Escapado(erro).toUtf8().constData());
        return ErroDeUso;
    }
    if (opcoes.ajuda) {
        std::fputs(TextoDeAjuda, stdout);
        return TodasAceitas;
    }
    if (opcoes.versao) {
        std::printf("bipvox-enviar (%s) %s\n", qPrintable(Modulo::NomeDoPrograma),
                    qPrintable(Modulo::VersaoDoPrograma));
        return TodasAceitas;
    }

    OperadorDeConsole console(opcoes.silencioso);
    if (opcoes.situacao)
        return MostraSituacao(opcoes, console);
    QString texto;
    if (opcoes.palavras == QStringList{QStringLiteral("-")}) {
        QFile entrada;
        if (!entrada.open(stdin, QIODevice::ReadOnly)) {
            console.Aviso(QStringLiteral("não foi possível ler a entrada padrão."));
            return ErroDeUso;
        }
        texto = TextoDaEntrada(entrada.readAll());
    } else {
        texto = opcoes.palavras.join(QLatin1Char(' '));
    }
    QString mensagem;
    if (!PreparaMensagem(texto, mensagem, erro)) {
        console.Aviso(erro + QStringLiteral("; nada foi discado."));
        return ErroDeUso;
    }
    RelogioReal relogio;
    if (opcoes.fila)
        return EnfileiraPelaLinhaDeComando(opcoes, mensagem, console, relogio);
    return ExecutaEnvio(opcoes, mensagem, console, relogio);
}
