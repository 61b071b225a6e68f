#include "CopiaDoBanco.h"

#include "fila/FilaDeEnvio.h"
#include "store/BancoDeDados.h"
#include "store/ChaveDeOrdem.h"
#include "store/Esquema.h"
#include "store/PostgreSQL.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QUrl>

namespace {

const QString kOrigem = QStringLiteral("Bipvox.copia.origem");
// Rows per INSERT: one round trip to the server for each, well under SQLite's limit of values.
constexpr int LinhasPorComando = 200;

struct Tabela {
    const char* nome;
    const char* colunas; // the first one is the table's counter, when it has one
    bool contador;
    qint64 ContagemDaCopia::*conta;
};
// Log's rowid is the history's order among rows of the same minute: kept as it is.
constexpr Tabela Tabelas[] = {
    {"Usuarios", "ID_Usuario,Nome_Usuario,ID_Pager,Descricao,Data_Cadastro", true,
     &ContagemDaCopia::usuarios},
    {"Grupos", "ID_Grupo,Nome_Grupo,Descricao_Grupo", true, &ContagemDaCopia::grupos},
    {"Usuario_Grupo", "ID_Usuario,ID_Grupo", false, &ContagemDaCopia::participacoes},
    {"Log", "rowid,Data,Hora,Usuario,Mensagem,ID_Pager,ID_Usuario,Situacao,Motivo,Origem", true,
     &ContagemDaCopia::mensagens},
    {"Fila",
     "ID_Pagina,ID_Pager,Usuario,ID_Usuario,Mensagem,Origem,Enfileirada,Situacao,Tentativas,Proxima_"
     "Tentativa,"
     "Motivo",
     true, &ContagemDaCopia::paginas},
};

bool Falha(QString* erro, const QString& texto) {
    if (erro)
        *erro = texto;
    return false;
}

QString TextoDe(const QSqlError& erro) {
    QString texto = (erro.databaseText().isEmpty() ? erro.text() : erro.databaseText()).section('\n', 0, 0);
    if (texto.startsWith(QLatin1String("ERROR:")))
        texto = texto.mid(6);
    return texto.trimmed();
}

bool NoServidor(const QSqlDatabase& banco) {
    return banco.driverName() == QLatin1String("QPSQL");
}

QStringList Colunas(const Tabela& tabela) {
    return QString::fromLatin1(tabela.colunas).split(QLatin1Char(','));
}

// What a column an older file lacks (or leaves null) is read as: what the program writes today.
QString Padrao(const QString& coluna) {
    static const QStringList numericas = {"rowid",       "ID_Usuario", "ID_Grupo",         "ID_Pagina",
                                          "Enfileirada", "Tentativas", "Proxima_Tentativa"};
    if (coluna == QLatin1String("Situacao"))
        return QStringLiteral("'entregue'");
    return numericas.contains(coluna) ? QStringLiteral("0") : QStringLiteral("''");
}

bool TemTabela(const QSqlDatabase& banco, const char* nome) {
    return banco.tables().contains(QLatin1String(nome), Qt::CaseInsensitive);
}

QString Leitura(const QSqlDatabase& origem, const Tabela& tabela) {
    // A server's tables are the program's own version (checked on connecting); a file may be older.
    const QSqlRecord registro = origem.record(QLatin1String(tabela.nome));
    QStringList valores;
    for (const QString& coluna : Colunas(tabela))
        valores << (NoServidor(origem) || coluna == QLatin1String("rowid") || registro.contains(coluna)
                        ? QStringLiteral("coalesce(%1, %2)").arg(coluna, Padrao(coluna))
                        : Padrao(coluna));
    // A membership of a user or group deleted by another tool: the server's keys would refuse it.
    const QString condicao =
        QLatin1String(tabela.nome) == QLatin1String("Usuario_Grupo")
            ? QStringLiteral(" Where ID_Usuario In (Select ID_Usuario From Usuarios) And "
                             "ID_Grupo In (Select ID_Grupo From Grupos)")
            : QString();
    const QString ordem = !NoServidor(origem) ? QStringLiteral("rowid")
                          : tabela.contador   ? Colunas(tabela).constFirst()
                                              : QStringLiteral("ctid");
    return QStringLiteral("Select %1 From %2%3 Order By %4")
        .arg(valores.join(QLatin1Char(',')), QLatin1String(tabela.nome), condicao, ordem);
}

qint64 Numero(QSqlDatabase& banco, const QString& sql) {
    QSqlQuery q(banco);
    return q.exec(sql) && q.next() ? q.value(0).toLongLong() : 0;
}

QString Sequencia(const Tabela& tabela) {
    return QStringLiteral("pg_get_serial_sequence('%1', '%2')")
        .arg(QString::fromLatin1(tabela.nome).toLower(), Colunas(tabela).constFirst().toLower());
}

// The largest identifier the source ever gave: its counter, which stays past deleted rows.
qint64 MaiorIdentificador(QSqlDatabase& origem, const Tabela& tabela) {
    const qint64 maior = Numero(origem, QStringLiteral("Select coalesce(max(%1), 0) From %2")
                                            .arg(Colunas(tabela).constFirst(), QLatin1String(tabela.nome)));
    const qint64 contador =
        NoServidor(origem)
            ? Numero(origem, QStringLiteral("Select coalesce(pg_sequence_last_value(%1::regclass), 0)")
                                 .arg(Sequencia(tabela)))
            : Numero(origem,
                     QStringLiteral("Select coalesce(max(seq), 0) From sqlite_sequence Where lower(name) = "
                                    "lower('%1')")
                         .arg(QLatin1String(tabela.nome)));
    return std::max(maior, contador);
}

bool AvancaContador(QSqlDatabase& destino, const Tabela& tabela, qint64 maior, QString& motivo) {
    QSqlQuery q(destino);
    if (maior <= 0)
        return true;
    if (NoServidor(destino)) {
        if (q.exec(QStringLiteral(
                       "Select setval(%1, greatest(%2, coalesce(pg_sequence_last_value(%1::regclass), 0)))")
                       .arg(Sequencia(tabela))
                       .arg(maior)))
            return true;
    } else if (QLatin1String(tabela.nome) == QLatin1String("Log")) {
        return true; // rowid without AUTOINCREMENT: SQLite keeps no counter for it
    } else if (q.exec(QStringLiteral("Update sqlite_sequence Set seq = max(seq, %2) Where name = '%1'")
                          .arg(QLatin1String(tabela.nome))
                          .arg(maior)) &&
               (q.numRowsAffected() > 0 ||
                q.exec(QStringLiteral("Insert Into sqlite_sequence (name, seq) Values ('%1', %2)")
                           .arg(QLatin1String(tabela.nome))
                           .arg(maior)))) {
        return true;
    }
    motivo = TextoDe(q.lastError());
    return false;
}

QString Insercao(const Tabela& tabela, int linhas) {
    const int colunas = Colunas(tabela).size();
    QString linha = QStringLiteral("(?") + QStringLiteral(",?").repeated(colunas - 1) + QLatin1Char(')');
    QStringList todas;
    for (int i = 0; i < linhas; ++i)
        todas << linha;
    return QStringLiteral("Insert Into %1 (%2) Values %3")
        .arg(QLatin1String(tabela.nome), QLatin1String(tabela.colunas), todas.join(QLatin1Char(',')));
}

bool Executa(QSqlQuery& comando, const QVariantList& valores, QString& motivo) {
    for (const QVariant& valor : valores)
        comando.addBindValue(valor);
    if (comando.exec())
        return true;
    motivo = TextoDe(comando.lastError());
    return false;
}

bool Insere(QSqlQuery& leitura, QSqlQuery& cheio, QSqlQuery& resto, const Tabela& tabela, qint64& copiadas,
            QString& motivo) {
    const int colunas = Colunas(tabela).size();
    if (!cheio.prepare(Insercao(tabela, LinhasPorComando))) {
        motivo = TextoDe(cheio.lastError());
        return false;
    }
    QVariantList valores;
    while (leitura.next()) {
        for (int i = 0; i < colunas; ++i)
            valores << leitura.value(i);
        ++copiadas;
        if (valores.size() == colunas * LinhasPorComando) {
            if (!Executa(cheio, valores, motivo))
                return false;
            valores.clear();
        }
    }
    if (leitura.lastError().isValid()) {
        motivo = TextoDe(leitura.lastError());
        return false;
    }
    if (valores.isEmpty())
        return true;
    if (resto.prepare(Insercao(tabela, valores.size() / colunas)))
        return Executa(resto, valores, motivo);
    motivo = TextoDe(resto.lastError());
    return false;
}

bool CopiaTabela(QSqlDatabase& origem, QSqlDatabase& destino, const Tabela& tabela, qint64& copiadas,
                 QString& motivo) {
    QSqlQuery leitura(origem);
    leitura.setForwardOnly(true);
    if (!leitura.exec(Leitura(origem, tabela))) {
        motivo = TextoDe(leitura.lastError());
        return false;
    }
    // A server frees a prepared statement only in a live transaction: a failed one is undone to
    // this point before the statements go.
    QSqlQuery cheio(destino), resto(destino);
    const bool servidor = NoServidor(destino) && QSqlQuery(destino).exec(QStringLiteral("Savepoint tabela"));
    const bool copiada = Insere(leitura, cheio, resto, tabela, copiadas, motivo);
    if (!copiada && servidor)
        QSqlQuery(destino).exec(QStringLiteral("Rollback To Savepoint tabela"));
    return copiada;
}

// Every table, in the destination's open transaction; motivo names the table that failed.
bool CopiaTabelas(QSqlDatabase& origem, QSqlDatabase& destino, ContagemDaCopia& contagem, QString& motivo) {
    contagem = {};
    for (const Tabela& tabela : Tabelas) {
        if (!TemTabela(origem, tabela.nome))
            continue; // a file whose queue was never used
        // The server's trigger that moves the counter past each row is left out while the rows go in
        // (a third of the time); the counter is set once afterwards, in the same transaction.
        const bool semGatilho =
            tabela.contador && NoServidor(destino) &&
            QSqlQuery(destino).exec(
                QStringLiteral("Alter Table %1 Disable Trigger %1_Contador").arg(QLatin1String(tabela.nome)));
        QSqlQuery religa(destino);
        QString falha;
        if (!CopiaTabela(origem, destino, tabela, contagem.*(tabela.conta), falha) ||
            (tabela.contador &&
             !AvancaContador(destino, tabela, MaiorIdentificador(origem, tabela), falha)) ||
            (semGatilho &&
             !religa.exec(QStringLiteral("Alter Table %1 Enable Trigger %1_Contador")
                              .arg(QLatin1String(tabela.nome))) &&
             !(falha = TextoDe(religa.lastError())).isNull())) {
            motivo = QStringLiteral("na tabela %1: %2").arg(QLatin1String(tabela.nome), falha);
            return false;
        }
    }
    contagem.participacoesSemDono =
        Numero(origem, QStringLiteral("Select count(*) From Usuario_Grupo")) - contagem.participacoes;
    return true;
}

// Groups whose names differ only in letter case: a file takes them, a server's unique key does not.
// Their names, quoted; empty when there are none. The key is computed once (its expression is deep).
bool GruposXaras(QSqlDatabase& origem, QString& xaras, QString& motivo) {
    QSqlQuery q(origem);
    if (!q.exec(
            QStringLiteral("With K As (Select ID_Grupo, Nome_Grupo, %1 As Chave From Grupos) Select Chave, "
                           "Nome_Grupo From K Where Chave In (Select Chave From K Group By Chave Having "
                           "count(*) > 1) Order By Chave, ID_Grupo")
                .arg(ChaveDeOrdemSQL(QStringLiteral("Nome_Grupo"))))) {
        motivo = TextoDe(q.lastError());
        return false;
    }
    QStringList nomes;
    QString primeira;
    while (q.next() && (primeira.isNull() || q.value(0).toString() == primeira)) {
        primeira = q.value(0).toString();
        nomes << QStringLiteral("\"%1\"").arg(q.value(1).toString());
    }
    xaras = nomes.join(QStringLiteral(" e "));
    return true;
}

bool EhSQLite(const QString& caminho) {
    QFile arquivo(caminho);
    return arquivo.open(QIODevice::ReadOnly) && arquivo.read(16) == QByteArray("SQLite format 3\0", 16);
}

// The file opened read-only (mode=ro: SQLite never writes it, nor upgrades it), in a read
// transaction, so what is copied is one moment of it even while a desk keeps writing.
bool AbreOrigem(const QString& arquivo, QString* erro) {
    const QString nome = QDir::toNativeSeparators(arquivo);
    const QString naoEh =
        QStringLiteral("O arquivo %1 não é um banco de dados do Bipvox; nada foi copiado.").arg(nome);
    if (!QFileInfo::exists(arquivo))
        return Falha(erro, QStringLiteral("O arquivo %1 não existe; nada foi copiado.").arg(nome));
    if (!QFileInfo(arquivo).isFile() || !EhSQLite(arquivo))
        return Falha(erro, naoEh);
    QSqlDatabase origem = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kOrigem);
    origem.setDatabaseName(
        QUrl::fromLocalFile(QFileInfo(arquivo).absoluteFilePath()).toString(QUrl::FullyEncoded) +
        QStringLiteral("?mode=ro"));
    origem.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
    if (!origem.open() || !RegistraColacao(origem))
        return Falha(
            erro,
            QStringLiteral("Não foi possível abrir o arquivo %1: %2").arg(nome, TextoDe(origem.lastError())));
    const qint64 versao = Numero(origem, QStringLiteral("PRAGMA user_version"));
    if (versao > VersaoDoEsquema)
        return Falha(
            erro, QStringLiteral("O arquivo %1 é de uma versão mais nova do Bipvox (esquema %2; esta versão "
                                 "conhece até o esquema %3); nada foi copiado.")
                      .arg(nome)
                      .arg(versao)
                      .arg(VersaoDoEsquema));
    for (const char* tabela : {"Usuarios", "Grupos", "Usuario_Grupo", "Log"})
        if (!TemTabela(origem, tabela))
            return Falha(erro, naoEh);
    QSqlQuery inicio(origem);
    return (inicio.exec(QStringLiteral("BEGIN")) &&
            inicio.exec(QStringLiteral("Select count(*) From Usuarios"))) ||
           Falha(erro, QStringLiteral("Não foi possível ler o arquivo %1: %2")
                           .arg(nome, TextoDe(inicio.lastError())));
}

void FechaOrigem() {
    {
        QSqlDatabase origem = QSqlDatabase::database(kOrigem, false);
        if (origem.isOpen() && !NoServidor(origem))
            QSqlQuery(origem).exec(QStringLiteral("ROLLBACK"));
        origem.close();
    }
    QSqlDatabase::removeDatabase(kOrigem);
}

} // namespace

QString ContagemDaCopia::Texto() const {
    QString texto =
        QStringLiteral("Copiados: %1 usuários, %2 grupos, %3 participações, %4 mensagens do histórico, "
                       "%5 páginas da fila.")
            .arg(usuarios)
            .arg(grupos)
            .arg(participacoes)
            .arg(mensagens)
            .arg(paginas);
    if (participacoesSemDono > 0)
        texto +=
            QStringLiteral("\nFicaram de fora %1 participações de usuários ou grupos que não existem mais.")
                .arg(participacoesSemDono);
    return texto;
}

bool CopiaArquivoParaServidor(const QString& arquivo, const ConexaoPostgreSQL& conexao,
                              ContagemDaCopia& contagem, QString* erro) {
    QString motivo;
    bool copiado = AbreOrigem(arquivo, &motivo);
    if (copiado) {
        QSqlDatabase origem = QSqlDatabase::database(kOrigem, false);
        QString xaras;
        if (!GruposXaras(origem, xaras, motivo)) {
            copiado = false;
            motivo = QStringLiteral("Não foi possível ler o arquivo %1: %2")
                         .arg(QDir::toNativeSeparators(arquivo), motivo);
        } else if (!xaras.isEmpty()) {
            copiado = false;
            motivo = QStringLiteral(
                         "Os grupos %1 do arquivo %2 têm nomes que diferem só em maiúsculas e minúsculas, "
                         "e o servidor PostgreSQL não aceita dois grupos assim. Renomeie um deles no "
                         "Bipvox e copie de novo; nada foi copiado.")
                         .arg(xaras, QDir::toNativeSeparators(arquivo));
        } else {
            copiado = CriaEsquemaPostgreSQL(conexao, &motivo, [&](QSqlDatabase& destino, QString* falha) {
                QString onde;
                return CopiaTabelas(origem, destino, contagem, onde) ||
                       Falha(falha,
                             QStringLiteral("Não foi possível copiar o arquivo %1 para o %2 (%3). Nada foi "
                                            "copiado: o banco ficou vazio, como estava.")
                                 .arg(QDir::toNativeSeparators(arquivo), conexao.Descricao(), onde));
            });
        }
    }
    FechaOrigem();
    return copiado || Falha(erro, motivo);
}

bool CopiaServidorParaArquivo(const ConexaoPostgreSQL& conexao, const QString& arquivo,
                              ContagemDaCopia& contagem, QString* erro) {
    const QFileInfo destino(arquivo);
    const QString nome = QDir::toNativeSeparators(arquivo);
    if (destino.exists() || destino.isSymLink())
        return Falha(erro,
                     QStringLiteral("O arquivo %1 já existe e não foi alterado; a cópia vai sempre para um "
                                    "arquivo novo.")
                         .arg(nome));
    QString motivo;
    bool copiado = false;
    {
        QSqlDatabase origem = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), kOrigem);
        // One moment of the server's data, however many desks write meanwhile.
        copiado = ConectaPostgreSQL(origem, conexao, &motivo) && origem.transaction() &&
                  QSqlQuery(origem).exec(
                      QStringLiteral("Set Transaction Isolation Level Repeatable Read, Read Only"));
        // Filled under another name and renamed at the end, so a copy killed midway never leaves an
        // empty store under the name asked for.
        const QString parcial = destino.absoluteFilePath() +
                                QStringLiteral(".copiando-%1").arg(QCoreApplication::applicationPid());
        if (copiado && !CriaBancoVazio(parcial, &motivo))
            copiado = false;
        else if (copiado) {
            QString onde;
            copiado = AbreBancoDeDados(QFileInfo(parcial).fileName(), destino.absolutePath(), &onde);
            if (copiado) {
                QSqlDatabase banco = BancoDeDados();
                copiado = banco.transaction() && Fila::GaranteTabela(&onde) &&
                          CopiaTabelas(origem, banco, contagem, onde) && banco.commit();
                if (!copiado && onde.isEmpty())
                    onde = TextoDe(banco.lastError());
                if (!copiado)
                    banco.rollback();
            }
            FechaBancoDeDados();
            // rename() never replaces a file that appeared meanwhile.
            if (copiado && !QFile::rename(parcial, destino.absoluteFilePath())) {
                copiado = false;
                onde = QStringLiteral("o arquivo apareceu durante a cópia");
            }
            if (!copiado) {
                for (const char* sufixo : {"", "-wal", "-shm", "-journal"})
                    QFile::remove(parcial + QLatin1String(sufixo));
                motivo =
                    QStringLiteral("Não foi possível copiar o %1 para o arquivo %2 (%3); o arquivo não foi "
                                   "criado.")
                        .arg(conexao.Descricao(), nome, onde);
            }
        } else if (motivo.isEmpty())
            motivo = QStringLiteral("Não foi possível ler o %1: %2")
                         .arg(conexao.Descricao(), TextoDe(origem.lastError()));
        if (origem.isOpen())
            origem.rollback();
    }
    FechaOrigem();
    return copiado || Falha(erro, motivo);
}
