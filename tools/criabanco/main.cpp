// bipvox-criabanco: creates an empty Pager.Mdb from the program's schema, optionally with a
// few sample users and groups for a demonstration.
#include "Exemplos.h"

#include "store/BancoDeDados.h"
#include "store/Esquema.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

namespace {

enum Saida { Sucesso = 0, Falhou = 1, UsoIncorreto = 2 };

const char* const TextoDeAjuda =
    "Uso: bipvox-criabanco [--se-ausente] [--exemplos] <arquivo>\n"
    "\n"
    "Cria um banco de dados Pager.Mdb vazio, com as quatro tabelas do Bipvox.\n"
    "\n"
    "  --se-ausente  se o arquivo já existir, deixa-o como está e termina sem erro\n"
    "  --exemplos    inclui alguns usuários e grupos de exemplo (nenhuma mensagem)\n"
    "  --help        mostra este texto\n"
    "\n"
    "Sem --se-ausente, um arquivo existente nunca é sobrescrito: é um erro.\n";

void Escreve(FILE* saida, const QString& texto) {
    std::fputs(texto.toLocal8Bit().constData(), saida);
    std::fputc('\n', saida);
}

int Erro(const QString& texto, Saida codigo) {
    Escreve(stderr, QStringLiteral("bipvox-criabanco: ") + texto);
    return codigo;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication aplicacao(argc, argv);
    bool seAusente = false;
    bool exemplos = false;
    QStringList arquivos;
    const QStringList argumentos = aplicacao.arguments().mid(1);
    for (const QString& argumento : argumentos) {
        if (argumento == QLatin1String("--help") || argumento == QLatin1String("-h")) {
            std::fputs(TextoDeAjuda, stdout);
            return Sucesso;
        }
        if (argumento == QLatin1String("--se-ausente"))
            seAusente = true;
        else if (argumento == QLatin1String("--exemplos"))
            exemplos = true;
        else if (argumento.startsWith(QLatin1Char('-')))
            return Erro(QStringLiteral("opção desconhecida: %1 (veja --help)").arg(argumento), UsoIncorreto);
        else
            arquivos.append(argumento);
    }
    if (arquivos.size() != 1)
        return Erro(QStringLiteral("informe um, e só um, arquivo a criar (veja --help)."), UsoIncorreto);

    const QFileInfo destino(arquivos.constFirst());
    if (destino.exists() || destino.isSymLink()) {
        if (seAusente)
            return Sucesso;
        return Erro(QStringLiteral("o arquivo \"%1\" já existe e não foi alterado.").arg(destino.filePath()),
                    Falhou);
    }

    QString motivo;
    if (!CriaBancoVazio(destino.filePath(), &motivo))
        return Erro(motivo, Falhou);
    if (exemplos && !GravaExemplos(destino.absolutePath(), destino.fileName(), &motivo))
        return Erro(motivo, Falhou);
    return Sucesso;
}
