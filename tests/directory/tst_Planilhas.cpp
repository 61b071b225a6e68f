// The directory and the history out to CSV and back: byte for byte, what a file would do shown
// first, nothing written when a line is refused, and mdb-export's files from an old Pager.Mdb.
#include "AmbienteDeTeste.h"
#include "CadastroDeTeste.h"
#include "common/Csv.h"
#include "common/Win1252.h"
#include "directory/Planilhas.h"
#include "store/BancoDeDados.h"
#include "store/Consultas.h"
#include "store/Esquema.h"
#include "store/Snapshot.h"

#include <QtTest>

namespace {
const Planilha Todas[] = {Planilha::Grupos, Planilha::Usuarios, Planilha::Participacoes, Planilha::Historico};

QList<ArquivoCsv> Exporta(QChar separador) {
    QList<ArquivoCsv> arquivos;
    for (const Planilha p : Todas)
        arquivos.append({QString::number(int(p)), EscreveCsv(LinhasParaExportar(p), separador)});
    return arquivos;
}
} // namespace

class tst_Planilhas : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { FechaBancoDeDados(); }

    // Quotes, separators and line breaks, names in Portuguese order: the same bytes come back.
    void idaEVolta_data() {
        QTest::addColumn<QChar>("separador");
        QTest::newRow("ponto e vírgula") << QChar(';');
        QTest::newRow("vírgula") << QChar(',');
    }
    void idaEVolta() {
        QFETCH(QChar, separador);
        AmbienteDeTeste origem(true);
        const qint32 ze = CadastraUsuario(QStringLiteral("Zé \"Zico\"; D'Ávila, o 1º"), QStringLiteral("12"));
        const qint32 ana = CadastraUsuario(QStringLiteral("ana"), QStringLiteral("3"));
        CadastraGrupo(QStringLiteral("Plantão; noite"), {ze, ana});
        CadastraGrupo(QStringLiteral("Apoio"), {ze});
        QVERIFY(
            GravaLog("20261206", "09:30", "ana", "linha 1\r\nlinha \"2\"; fim\n", "3", ana, true, "511 x"));
        QVERIFY(GravaLog("19981203", "14:05", QStringLiteral("Zé").leftJustified(50), "a,b", "12", ze));
        const QList<ArquivoCsv> antes = Exporta(separador);
        QVERIFY(antes[1].bytes.startsWith("\xEF\xBB\xBFNome_Usuario"));
        QVERIFY(antes[3].bytes.contains("03/12/1998"));

        AmbienteDeTeste destino(true);
        const Importacao feita = ImportaPlanilhas(antes, true);
        QVERIFY2(feita.Aplicavel(), qPrintable(feita.Resumo()));
        const QList<ArquivoCsv> depois = Exporta(separador);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(depois[i].bytes, antes[i].bytes);
        // Importing the same again changes nothing.
        QCOMPARE(ImportaPlanilhas(antes, true).Quantas(Acao::Igual), 9);
    }

    // from|to (dd/mm/aaaa, empty: no limit)|user id (0: all)|the messages exported
    void filtroDoHistorico_data() {
        QTest::addColumn<QString>("caso");
        QTest::newRow("tudo") << "||0|a b c";
        QTest::newRow("período") << "05/12/2026|06/12/2026|0|b c";
        QTest::newRow("um usuário desde") << "05/12/2026||1|c";
    }
    void filtroDoHistorico() {
        const QStringList c = CamposDoCaso();
        AmbienteDeTeste ambiente(true);
        QVERIFY(GravaLog("20261204", "23:59", "Ana", "a", "1", 1));
        QVERIFY(GravaLog("20261205", "00:00", "Bia", "b", "2", 2));
        QVERIFY(GravaLog("20261206", "10:00", "Ana", "c", "1", 1));
        const FiltroDoHistorico filtro{QDate::fromString(c[0], "dd/MM/yyyy"),
                                       QDate::fromString(c[1], "dd/MM/yyyy"), c[2].toInt()};
        QStringList mensagens;
        for (const QStringList& linha : LinhasParaExportar(Planilha::Historico, filtro).mid(1))
            mensagens << linha[3];
        QCOMPARE(mensagens.join(' '), c[3]);
    }

    // bipvox-csv as a script runs it: arguments (@: the database, ruim.csv: a file with a bad
    // line)|exit code|part of what it prints
    void linhaDeComando_data() {
        QTest::addColumn<QString>("caso");
        QTest::newRow("linha recusada")
            << "importar,--aplicar,--banco,@,ruim.csv|1|linha 3: RECUSADO: nome vazio";
        QTest::newRow("data inválida") << "exportar,historico,--de,31/02/2026|2|data inválida";
        QTest::newRow("exporta com vírgula")
            << "exportar,grupos,--virgula,--banco,@|0|Nome_Grupo,Descricao_Grupo";
    }
    void linhaDeComando() {
        const QStringList c = CamposDoCaso();
        AmbienteDeTeste ambiente(true);
        FechaBancoDeDados();
        QFile ruim(ambiente.Diretorio() + "/ruim.csv");
        QVERIFY(ruim.open(QIODevice::WriteOnly) && ruim.write("Nome_Usuario;ID_Pager\nNova;7\n;8\n") > 0);
        ruim.close();
        QProcess p;
        p.setWorkingDirectory(ambiente.Diretorio());
        // On a server, the store of the settings' [BANCO], as a desk's.
        p.start(qEnvironmentVariable("BIPVOX_CSV"),
                (TesteNoPostgreSQL() ? QString(c[0]).remove(",--banco,@")
                                     : QString(c[0]).replace('@', ambiente.Diretorio() + "/Pager.Mdb"))
                    .split(','));
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), c[1].toInt());
        QVERIFY(QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError()).contains(c[2]));
        QVERIFY(ambiente.AbreBancoVazio());
        QCOMPARE(Coluna("Select Count(*) As L From Usuarios"), QStringList{"0"});
    }

    // users file (\n between lines)|expected counts new/changed/same/refused|text in the preview|what
    // another desk writes between the preview and the import
    void importacao_data() {
        QTest::addColumn<QString>("caso");
        QTest::newRow("novo, alterado, igual")
            << "Nome_Usuario;ID_Pager;Descricao\nNova;7;x\nAna;1;outra\nBia;2;b|"
               "1 1 1 0|linha 3: alterado: usuário \"Ana\"";
        QTest::newRow("nome longo não é cortado") << "Nome_Usuario;ID_Pager\nNova;7\n" + QString(51, 'N') +
                                                         ";8|1 0 0 1|linha 3: RECUSADO: nome com 51";
        QTest::newRow("código vazio") << "ID_Pager,Nome_Usuario\n ,Nova|0 0 0 1|código do pager vazio";
        QTest::newRow("código de outro usuário") << "Nome_Usuario;ID_Pager\nNova;77\nOutra; 77 |1 0 0 1|o "
                                                    "código do pager 77 já é do usuário da linha 2";
        QTest::newRow("grupo inexistente") << "Nome_Usuario;ID_Pager;Grupos\nNova;7;Vendas ¦ Nada|0 0 0 1|"
                                              "o grupo \"Nada\" não existe";
        QTest::newRow("sem colunas") << "Nome;Código\nNova;7|0 0 0 1|não nomeia as colunas";
        QTest::newRow("outra mesa depois da prévia") << "Nome_Usuario;ID_Pager\nNova;7\nAna;1|1 1 0 0|linha "
                                                        "2: novo|Insert Into Usuarios Values (3, 'Nova', "
                                                        "'7', 'y', '')";
    }
    void importacao() {
        const QStringList c = CamposDoCaso();
        AmbienteDeTeste ambiente(true);
        CadastraGrupo(QStringLiteral("vendas"));
        Executa("Insert Into Usuarios Values (1, 'Ana', '1', 'a', '03/12/1998'), (2, 'Bia', '2', 'b', "
                "'03/12/1998')");
        const QList<ArquivoCsv> arquivos = {
            {"u.csv", QString(c[0]).replace("\\n", "\n").replace(u'¦', u'|').toUtf8()}};
        const Importacao previa = ImportaPlanilhas(arquivos, false);
        const QStringList contas = c[1].split(' ');
        for (int i = 0; i < 4; ++i)
            QCOMPARE(previa.Quantas(Acao(i)), contas[i].toInt());
        QVERIFY2(previa.Resumo().contains(c[2]), qPrintable(previa.Resumo()));
        QVERIFY(c.size() < 4 || Executa(c[3]));
        const Importacao feita = ImportaPlanilhas(arquivos, true, &previa);
        QCOMPARE(feita.mudouDesdeAPrevia, c.size() > 3);
        QCOMPARE(Coluna("Select Nome_Usuario || Descricao As L From Usuarios Where ID_Usuario = 1"),
                 QStringList{feita.Aplicavel() && c[2].contains("alterado") ? "Anaoutra" : "Anaa"});
        QCOMPARE(
            Coluna("Select Count(*) As L From Usuarios"),
            QStringList{QString::number(2 + (c.size() > 3) + (feita.Aplicavel() ? contas[0].toInt() : 0))});
    }

    // The four tables as mdb-export writes them from an old Access Pager.Mdb: commas, every text
    // quoted, MM/DD/YY HH:MM:SS dates, Windows-1252; the identifiers link memberships and history.
    void mdbExport() {
        AmbienteDeTeste ambiente(true);
        CadastraUsuario(QStringLiteral("Já existia"), QStringLiteral("9"));
        const QList<ArquivoCsv> arquivos = {
            {"Log.csv",
             ParaWin1252("Data,Hora,Usuario,Mensagem,ID_Pager,ID_Usuario\n\"12/03/98 00:00:00\","
                         "\"12/30/99 14:05:00\",\"Zé\",\"Reunião às 10h, \"\"já\"\"\",\"555\",1\n")},
            {"Usuario_Grupo.csv", "ID_Usuario,ID_Grupo\n1,4\n"},
            {"Usuarios.csv", ParaWin1252("ID_Usuario,Nome_Usuario,ID_Pager,Descricao,Data_Cadastro\n"
                                         "1,\"Zé\",\"555\",\"Diretor, noturno\",\"03/12/1998\"\n")},
            {"Grupos.csv", "ID_Grupo,Nome_Grupo,Descricao_Grupo\n4,\"Plant\xE3o\",\"Noite\"\n"}};
        const Importacao feita = ImportaPlanilhas(arquivos, true);
        QVERIFY2(feita.Aplicavel() && feita.Quantas(Acao::Nova) == 4, qPrintable(feita.Resumo()));
        QCOMPARE(
            Coluna("Select Data || Hora || Usuario || Mensagem || l.ID_Usuario || Nome_Grupo As L From Log l "
                   "Join Usuarios u On u.ID_Usuario = l.ID_Usuario Join Usuario_Grupo p On p.ID_Usuario = "
                   "u.ID_Usuario Join Grupos g On g.ID_Grupo = p.ID_Grupo"),
            QStringList{"1998120314:05ZéReunião às 10h, \"já\"2Plantão"});
    }
};

QTEST_GUILESS_MAIN(tst_Planilhas)
#include "tst_Planilhas.moc"
