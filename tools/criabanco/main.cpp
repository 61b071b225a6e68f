// bipvox-criabanco: creates an empty Pager.Mdb from the program's schema, optionally with a
// few sample users and groups for a demonstration; or a store copied from the other engine.
#include "CopiaDoBanco.h"
#include "Exemplos.h"

#include "shell/LocalDoBanco.h"
#include "store/BancoDeDados.h"
#include "store/Esquema.h"
#include "store/PostgreSQL.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

namespace {

enum Saida { Sucesso = 0, Falhou = 1, UsoIncorreto = 2 };

const char* const TextoDeAjuda =
    "Uso: bipvox-criabanco [--se-ausente] [--exemplos] <arquivo>\n"
    "     bipvox-criabanco --postgresql [--exemplos] [\"host=H port=P dbname=B user=U\"]\n"
    "     bipvox-criabanco --postgresql [\"host=...\"] --copiar-de <arquivo>\n"
    "     bipvox-criabanco <arquivo novo> --copiar-do-postgresql [\"host=...\"]\n"
    "\n"
    "Cria um banco de dados Pager.Mdb vazio, com as quatro tabelas do Bipvox; com --postgresql,\n"
    "as mesmas tabelas num banco vazio de um servidor PostgreSQL.\n"
    "\n"
    "  --se-ausente  se o arquivo já existir, deixa-o como está e termina sem erro\n"
    "  --exemplos    inclui alguns usuários e grupos de exemplo (nenhuma mensagem)\n"
    "  --postgresql  o banco do servidor dado (padrão: host=localhost port=5432 dbname=bipvox,\n"
    "                o usuário do sistema) ou, sem ele, o da seção [BANCO] de Bipvoxcf.INI; a\n"
    "                senha vem de ~/.pgpass ou da variável PGPASSWORD, nunca da linha de comando\n"
    "  --copiar-de ARQUIVO\n"
    "                com --postgresql: cria as tabelas no banco vazio do servidor e copia para\n"
    "                ele tudo o que o Pager.Mdb ARQUIVO tem (usuários, grupos, participações,\n"
    "                histórico e fila, com os mesmos códigos); o arquivo só é lido\n"
    "  --copiar-do-postgresql [CONEXÃO]\n"
    "                cria o arquivo novo com tudo o que o banco do servidor tem (CONEXÃO, entre\n"
    "                aspas, logo depois da opção, ou a seção [BANCO], como em --postgresql)\n"
    "  --help        mostra este texto\n"
    "\n"
    "Sem --se-ausente, um arquivo existente nunca é sobrescrito: é um erro. Um banco do servidor\n"
    "que já tenha tabelas também nunca é alterado. Uma cópia é feita numa só transação: se falhar,\n"
    "o banco do servidor fica vazio como estava, ou o arquivo novo não fica, e a origem nunca é\n"
    "alterada. No fim, ela diz quantos usuários, grupos, participações, mensagens do histórico e\n"
    "páginas da fila copiou.\n";

void Escreve(FILE* saida, const QString& texto) {
    std::fputs(texto.toLocal8Bit().constData(), saida);
    std::fputc('\n', saida);
}

int Erro(const QString& texto, Saida codigo) {
    Escreve(stderr, QStringLiteral("bipvox-criabanco: ") + texto);
    return codigo;
}

// The connection given (at most one), else [BANCO]'s, else the default one; none, after saying
// why, when the one given or configured is invalid.
std::optional<ConexaoPostgreSQL> ConexaoDada(const QStringList& argumentos) {
    QString motivo;
    std::optional<ConexaoPostgreSQL> conexao =
        argumentos.isEmpty() ? ServidorConfigurado(&motivo)
                             : ConexaoPostgreSQL::DoTexto(argumentos.constFirst(), &motivo);
    if (!conexao && argumentos.isEmpty() && motivo.isEmpty())
        conexao = ConexaoPostgreSQL();
    if (!conexao)
        Erro(QStringLiteral("conexão inválida: %1.").arg(motivo), UsoIncorreto);
    return conexao;
}

int CriaNoServidor(const QStringList& argumentos, bool exemplos, bool seAusente, const QString& copiarDe) {
    if (argumentos.size() > 1 || seAusente || (exemplos && !copiarDe.isEmpty()))
        return Erro(QStringLiteral("com --postgresql, dê no máximo uma conexão, entre aspas, e não "
                                   "--se-ausente, nem --exemplos com --copiar-de (veja --help)."),
                    UsoIncorreto);
    const std::optional<ConexaoPostgreSQL> conexao = ConexaoDada(argumentos);
    if (!conexao)
        return UsoIncorreto;
    QString motivo;
    ContagemDaCopia contagem;
    if (!copiarDe.isEmpty()) {
        if (!CopiaArquivoParaServidor(copiarDe, *conexao, contagem, &motivo))
            return Erro(motivo, Falhou);
    } else if (!CriaEsquemaPostgreSQL(*conexao, &motivo))
        return Erro(motivo, Falhou);
    if (exemplos && !(AbreBancoPostgreSQL(*conexao, &motivo) && GravaExemplos(&motivo)))
        return Erro(motivo, Falhou);
    Escreve(stdout, QStringLiteral("Tabelas do Bipvox criadas no %1.").arg(conexao->Descricao()));
    if (!copiarDe.isEmpty())
        Escreve(stdout, contagem.Texto());
    return Sucesso;
}

int CopiaDoServidor(const QStringList& arquivos, const QStringList& conexoes) {
    if (arquivos.size() != 1)
        return Erro(
            QStringLiteral("com --copiar-do-postgresql, informe um, e só um, arquivo novo (veja --help)."),
            UsoIncorreto);
    const std::optional<ConexaoPostgreSQL> conexao = ConexaoDada(conexoes);
    if (!conexao)
        return UsoIncorreto;
    QString motivo;
    ContagemDaCopia contagem;
    if (!CopiaServidorParaArquivo(*conexao, arquivos.constFirst(), contagem, &motivo))
        return Erro(motivo, Falhou);
    Escreve(stdout, QStringLiteral("Arquivo %1 criado com o conteúdo do %2.")
                        .arg(QDir::toNativeSeparators(arquivos.constFirst()), conexao->Descricao()));
    Escreve(stdout, contagem.Texto());
    return Sucesso;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication aplicacao(argc, argv);
    bool seAusente = false;
    bool exemplos = false;
    bool postgresql = false;
    bool doServidor = false;
    QString copiarDe;
    QStringList arquivos, conexoes;
    const QStringList argumentos = aplicacao.arguments().mid(1);
    for (int i = 0; i < argumentos.size(); ++i) {
        const QString& argumento = argumentos[i];
        const bool temValor = i + 1 < argumentos.size() && !argumentos[i + 1].startsWith(QLatin1Char('-'));
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
        else if (argumento == QLatin1String("--copiar-de") && temValor)
            copiarDe = argumentos[++i];
        else if (argumento == QLatin1String("--copiar-do-postgresql")) {
            doServidor = true;
            if (temValor && argumentos[i + 1].contains(QLatin1Char('=')))
                conexoes << argumentos[++i];
        } else if (argumento == QLatin1String("--copiar-de"))
            return Erro(QStringLiteral("--copiar-de precisa do arquivo a copiar (veja --help)."),
                        UsoIncorreto);
        else if (argumento.startsWith(QLatin1Char('-')))
            return Erro(QStringLiteral("opção desconhecida: %1 (veja --help)").arg(argumento), UsoIncorreto);
        else
            arquivos.append(argumento);
    }
    if ((!copiarDe.isEmpty() && !postgresql) || (doServidor && (postgresql || exemplos || seAusente)))
        return Erro(QStringLiteral("--copiar-de vai com --postgresql, e --copiar-do-postgresql, só com o "
                                   "arquivo novo e a conexão (veja --help)."),
                    UsoIncorreto);
    if (doServidor)
        return CopiaDoServidor(arquivos, conexoes);
    if (postgresql)
        return CriaNoServidor(arquivos, exemplos, seAusente, copiarDe);
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
