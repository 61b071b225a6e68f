// bipvox-criabanco: creates an empty Pager.Mdb from the program's schema, optionally with a
// few sample users and groups for a demonstration.
#include "Exemplos.h"

#include "shell/LocalDoBanco.h"
#include "store/BancoDeDados.h"
#include "store/Esquema.h"
#include "store/PostgreSQL.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

namespace {

enum Saida { Sucesso = 0, Falhou = 1, UsoIncorreto = 2 };

const char* const TextoDeAjuda =
    "Uso: bipvox-criabanco [--se-ausente] [--exemplos] <arquivo>\n"
    "     bipvox-criabanco --postgresql [--exemplos] [\"host=H port=P dbname=B user=U\"]\n"
    "\n"
    "Cria um banco de dados Pager.Mdb vazio, com as quatro tabelas do Bipvox; com --postgresql,\n"
    "as mesmas tabelas num banco vazio de um servidor PostgreSQL.\n"
    "\n"
    "  --se-ausente  se o arquivo já existir, deixa-o como está e termina sem erro\n"
    "  --exemplos    inclui alguns usuários e grupos de exemplo (nenhuma mensagem)\n"
    "  --postgresql  o banco do servidor dado (padrão: host=localhost port=5432 dbname=bipvox,\n"
    "                o usuário do sistema) ou, sem ele, o da seção [BANCO] de Bipvoxcf.INI; a\n"
    "                senha vem de ~/.pgpass ou da variável PGPASSWORD, nunca da linha de comando\n"
    "  --help        mostra este texto\n"
    "\n"
    "Sem --se-ausente, um arquivo existente nunca é sobrescrito: é um erro. Um banco do servidor\n"
    "que já tenha tabelas também nunca é alterado.\n";

void Escreve(FILE* saida, const QString& texto) {
    std::fputs(texto.toLocal8Bit().constData(), saida);
    std::fputc('\n', saida);
}

int Erro(const QString& texto, Saida codigo) {
    Escreve(stderr, QStringLiteral("bipvox-criabanco: ") + texto);
    return codigo;
}

int CriaNoServidor(const QStringList& argumentos, bool exemplos, bool seAusente) {
    if (argumentos.size() > 1 || seAusente)
        return Erro(QStringLiteral("com --postgresql, dê no máximo uma conexão, entre aspas, e não "
                                   "--se-ausente (veja --help)."),
                    UsoIncorreto);
    QString motivo;
    std::optional<ConexaoPostgreSQL> conexao =
        argumentos.isEmpty() ? ServidorConfigurado(&motivo)
                             : ConexaoPostgreSQL::DoTexto(argumentos.constFirst(), &motivo);
    if (!conexao && argumentos.isEmpty() && motivo.isEmpty())
        conexao = ConexaoPostgreSQL();
    if (!conexao)
        return Erro(QStringLiteral("conexão inválida: %1.").arg(motivo), UsoIncorreto);
    if (!CriaEsquemaPostgreSQL(*conexao, &motivo))
        return Erro(motivo, Falhou);
    if (exemplos && !(AbreBancoPostgreSQL(*conexao, &motivo) && GravaExemplos(&motivo)))
        return Erro(motivo, Falhou);
    Escreve(stdout, QStringLiteral("Tabelas do Bipvox criadas no %1.").arg(conexao->Descricao()));
    return Sucesso;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication aplicacao(argc, argv);
    bool seAusente = false;
    bool exemplos = false;
    bool postgresql = false;
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
        else if (argumento == QLatin1String("--postgresql"))
            postgresql = true;
        else if (argumento.startsWith(QLatin1Char('-')))
            return Erro(QStringLiteral("opção desconhecida: %1 (veja --help)").arg(argumento), UsoIncorreto);
        else
            arquivos.append(argumento);
    }
    if (postgresql)
        return CriaNoServidor(arquivos, exemplos, seAusente);
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
