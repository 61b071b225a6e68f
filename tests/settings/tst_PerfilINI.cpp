// The settings file: profile rules, Windows-1252 on disk, text editors' UTF-8, damaged and
// unwritable files, and the device behind each COM number.
#include "AmbienteDeTeste.h"
#include "settings/DispositivoDaPorta.h"
#include "settings/PerfilINI.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtTest>

namespace {
// Marks a row whose file does not exist.
const QByteArray kSemArquivo("<sem arquivo>");

struct Leitura {
    const char* nome;
    QByteArray conteudo;
    const char* secao;
    const char* chave;
    const char* padrao;
    const char* esperado;
};

struct Gravacao {
    const char* nome;
    QByteArray antes;
    const char* secao;
    const char* chave;
    const char* valor;
    QByteArray depois;
};
} // namespace

class tst_PerfilINI : public QObject {
    Q_OBJECT
private slots:
    void leitura_data() {
        QTest::addColumn<QByteArray>("conteudo");
        QTest::addColumn<QString>("secao");
        QTest::addColumn<QString>("chave");
        QTest::addColumn<QString>("padrao");
        QTest::addColumn<QString>("esperado");
        const QByteArray modem(
            "[MODEM]\r\nPorta Serial=2\r\n\r\n[DISCAGEM]\r\nLinha=Tom\r\nPrefixoPABX=\r\n");
        const QByteArray x150(150, 'x');
        const Leitura linhas[] = {
            {"sem arquivo", kSemArquivo, "MODEM", "Porta Serial", "VAZIO", "VAZIO"},
            {"chave de outra seção", modem, "MODEM", "Linha", "Pulso", "Pulso"},
            {"vazio existe", modem, "DISCAGEM", "PrefixoPABX", "VAZIO", ""},
            {"seção minúscula", modem, "modem", " Porta Serial ", "", "2"},
            {"acentos sem caixa",
             "[OP\xc7\xd5"
             "ES]\r\nAutoEnviar=Sim\r\n",
             "opções", "AUTOENVIAR", "Não", "Sim"},
            {"valor não muda de caixa", "[D]\r\nLinha=tom\r\n", "D", "Linha", "", "tom"},
            {"brancos em volta", "  [ MODEM ]  \r\n  Porta Serial \t=  3 \t\x1a\r\n", "MODEM", "Porta Serial",
             "", "3"},
            {"aspas guardam brancos", "[A]\nB = \"  x y  \"\n", "A", "B", "", "  x y  "},
            {"aspas simples", "[A]\nB='z'\n", "A", "B", "", "z"},
            {"aspas diferentes", "[A]\nB='z\"\n", "A", "B", "", "'z\""},
            {"igual no valor", "[A]\nB=c=d\n", "A", "B", "", "c=d"},
            {"NUL termina o valor", QByteArray("[A]\nB=ab\0cd\n", 12), "A", "B", "", "ab"},
            {"valor de 150 vira 99", "[A]\r\nB=" + x150 + "\r\n", "A", "B", "", nullptr},
            {"padrão de 150 vira 99", QByteArray(), "A", "B", x150.constData(), nullptr},
            {"padrão perde brancos ao fim", QByteArray(), "A", "B", " abc  ", " abc"},
            {"sem fim de linha", "[X]\r\nY=1", "X", "Y", "", "1"},
            {"primeira seção vale", "[A]\nB=1\n[a]\nB=2\nC=3\n", "A", "C", "-", "-"},
            {"primeira chave vale", "[A]\nB=1\nb=2\n", "A", "B", "", "1"},
            {"comentário", "[A]\n;B=1\nC\n", "A", "B", "-", "-"},
            {"cabeçalho sem colchete", "[A]\nB=1\n[C\nD=2\n", "A", "D", "-", "2"},
            {"colchete mais à direita", "[a]b]\nC=1\n", "a]b", "C", "-", "1"},
            {"UTF-8", "[LISTAGEM]\nOp\xc3\xa7\xc3\xa3o=Usu\xc3\xa1rio\n", "LISTAGEM", "Opção", "", "Usuário"},
            {"BOM", "\xef\xbb\xbf[MODEM]\r\nPorta Serial=1\r\n", "MODEM", "Porta Serial", "", "1"},
            {"BOM e UTF-8 inválido", "\xef\xbb\xbf[A]\r\nB=N\xe3o\r\nC=1\r\n", "A", "C", "-", "1"},
            {"Windows-1252", "[DISCAGEM]\nPABX=N\xe3o\nE=\x80 10\n", "DISCAGEM", "E", "", "€ 10"},
        };
        for (const Leitura& l : linhas)
            QTest::newRow(l.nome) << l.conteudo << l.secao << l.chave << l.padrao
                                  << (l.esperado ? QString(l.esperado) : QString(99, 'x'));
    }
    void leitura() {
        QFETCH(QByteArray, conteudo);
        QFETCH(QString, secao);
        QFETCH(QString, chave);
        QFETCH(QString, padrao);
        QFETCH(QString, esperado);
        AmbienteDeTeste ambiente;
        if (conteudo != kSemArquivo)
            ambiente.EscreveINI(conteudo);
        QCOMPARE(LeINI(secao, chave, padrao), esperado);
        QCOMPARE(QFile::exists(CaminhoDoINI()), conteudo != kSemArquivo); // reading never writes
    }

    void gravacao_data() {
        QTest::addColumn<QByteArray>("antes");
        QTest::addColumn<QString>("secao");
        QTest::addColumn<QString>("chave");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QByteArray>("depois");
        const QByteArray cheio(
            "; Bipvox\r\n[modem]\r\nPORTA SERIAL = 2\r\n\r\n[DISCAGEM]\r\nLinha=Tom\r\n\r\n");
        const QByteArray quase = "[A]\r\nB=1\r\n;" + QByteArray(TamanhoMaximoDoINI - 20, 'x') + "\r\n";
        const QByteArray ys(50, 'y');
        const Gravacao linhas[] = {
            {"cria o arquivo", kSemArquivo, "OPÇÕES", "AutoEnviar", "Não",
             "[OP\xc7\xd5"
             "ES]\r\nAutoEnviar=N\xe3o\r\n"},
            {"troca no lugar", cheio, "MODEM", "Porta Serial", "3",
             "; Bipvox\r\n[modem]\r\nPORTA SERIAL = 3\r\n\r\n[DISCAGEM]\r\nLinha=Tom\r\n\r\n"},
            {"chave nova antes dos brancos", cheio, "MODEM", "Inicialização", "AT&F",
             "; Bipvox\r\n[modem]\r\nPORTA SERIAL = "
             "2\r\nInicializa\xe7\xe3o=AT&F\r\n\r\n[DISCAGEM]\r\nLinha=Tom\r\n\r\n"},
            {"seção nova no fim", cheio, "LISTAGEM", "Opção", "Grupo",
             cheio + "[LISTAGEM]\r\nOp\xe7\xe3o=Grupo\r\n"},
            {"LF fica LF, sem fim de linha", "[A]\nB=1", "A", "C", "2", "[A]\nB=1\nC=2\n"},
            {"quebra corta o valor", kSemArquivo, "A", "B", "1\r\n[MODEM]\r\nPorta Serial=9",
             "[A]\r\nB=1\r\n"},
            {"aspas e fora do Windows-1252", kSemArquivo, "A", "B", "O'Brien \"x\" 中€",
             "[A]\r\nB=O'Brien \"x\" ?\x80\r\n"},
            // A text editor's UTF-8 file stays UTF-8, its mark included; leading blanks kept once.
            {"UTF-8 com BOM continua UTF-8", "\xef\xbb\xbf; Configurações\n[OPÇÕES]\nAutoEnviar=Não\n",
             "OPÇÕES", "AutoEnviar", "Sim", "\xef\xbb\xbf; Configurações\n[OPÇÕES]\nAutoEnviar=Sim\n"},
            {"UTF-8 continua UTF-8", "[A]\nB=ç\n", "A", "C", "ã", "[A]\nB=ç\nC=ã\n"},
            {"Win-1252 continua Win-1252", "[A]\r\nB=\xff\r\nC=\xc3\xa7\r\n", "A", "B", "x",
             "; Codifica\xe7\xe3o: Windows-1252\r\n[A]\r\nB=x\r\nC=\xc3\xa7\r\n"},
            {"brancos à esquerda", "[A]\r\nB=  x\r\n", "A", "B", "  y", "[A]\r\nB=  y\r\n"},
            {"passaria do limite", quase, "A", "C", ys.constData(), quase},
            {"chave vazia", kSemArquivo, "A", " ", "1", kSemArquivo},
            {"igual na chave", kSemArquivo, "A", "B=C", "1", kSemArquivo},
            {"quebra na seção", kSemArquivo, "A]\n[B", "C", "1", kSemArquivo},
        };
        for (const Gravacao& g : linhas)
            QTest::newRow(g.nome) << g.antes << g.secao << g.chave << g.valor << g.depois;
    }
    void gravacao() {
        QFETCH(QByteArray, antes);
        QFETCH(QString, secao);
        QFETCH(QString, chave);
        QFETCH(QString, valor);
        QFETCH(QByteArray, depois);
        AmbienteDeTeste ambiente;
        if (antes != kSemArquivo)
            ambiente.EscreveINI(antes);
        GravaINI(secao, chave, valor);
        QCOMPARE(QFile::exists(CaminhoDoINI()), depois != kSemArquivo);
        if (depois == kSemArquivo)
            return;
        QCOMPARE(ambiente.LeINIBruto(), depois);
        QCOMPARE(QDir(QFileInfo(CaminhoDoINI()).path()).entryList(QDir::Files), QStringList{"Bipvoxcf.INI"});
    }

    // Nothing readable in it, and still nothing lost: the new key goes after the old bytes.
    void arquivoDanificado_data() {
        QTest::addColumn<QByteArray>("conteudo");
        QRandomGenerator gerador(1252);
        QByteArray lixo(64 * 1024, Qt::Uninitialized);
        for (char& c : lixo)
            c = static_cast<char>(gerador.bounded(256));
        QTest::newRow("lixo binário") << lixo;
        QTest::newRow("NULs e cabeçalhos quebrados")
            << QByteArray("[MO\0DEM]\r\n[DISCAGEM\r\nPorta\0 Serial=1\r\n[", 38);
        QTest::newRow("CRs soltos") << QByteArray("\r\r\r[A]\rB=1\r\r");
    }
    void arquivoDanificado() {
        QFETCH(QByteArray, conteudo);
        AmbienteDeTeste ambiente;
        ambiente.EscreveINI(conteudo);
        QCOMPARE(LeINI(QStringLiteral("MODEM"), QStringLiteral("Porta Serial"), QStringLiteral("VAZIO")),
                 QStringLiteral("VAZIO"));
        GravaINI(QStringLiteral("OPÇÕES"), QStringLiteral("AutoEnviar"), QStringLiteral("Sim"));
        QCOMPARE(LeINI(QStringLiteral("OPÇÕES"), QStringLiteral("AutoEnviar"), QString()),
                 QStringLiteral("Sim"));
        QVERIFY(ambiente.LeINIBruto().startsWith(conteudo));
    }

    void gravacaoImpossivelNaoEstragaNada_data() {
        QTest::addColumn<bool>("pastaNoLugarDoArquivo");
        QTest::newRow("pasta no lugar do arquivo") << true;
        QTest::newRow("arquivo no lugar da pasta") << false;
    }
    void gravacaoImpossivelNaoEstragaNada() {
        QFETCH(bool, pastaNoLugarDoArquivo);
        AmbienteDeTeste ambiente;
        const QString config = QFileInfo(CaminhoDoINI()).path();
        if (pastaNoLugarDoArquivo) {
            QVERIFY(QDir().mkpath(CaminhoDoINI()));
        } else {
            QVERIFY(QDir(config).removeRecursively());
            QFile bloqueio(config);
            QVERIFY(bloqueio.open(QIODevice::WriteOnly) && bloqueio.write("guardado") == 8);
        }
        GravaINI(QStringLiteral("MODEM"), QStringLiteral("Porta Serial"), QStringLiteral("4"));
        QCOMPARE(LeINI(QStringLiteral("MODEM"), QStringLiteral("Porta Serial"), QStringLiteral("VAZIO")),
                 QStringLiteral("VAZIO"));
        QCOMPARE(QFileInfo(pastaNoLugarDoArquivo ? CaminhoDoINI() : config).isDir(), pastaNoLugarDoArquivo);
    }

    void dispositivoDaPorta_data() {
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("COM1") << 1 << "/dev/ttyS0";
        QTest::newRow("COM4") << 4 << "/dev/ttyS3";
        QTest::newRow("COM2 configurada") << 2 << "/dev/pts/7";
        QTest::newRow("COM3 vazia") << 3 << "/dev/ttyS2";
        QTest::newRow("COM5 configurada") << 5 << "/dev/ttyUSB0";
        QTest::newRow("COM6") << 6 << "";
        QTest::newRow("COM0") << 0 << "";
    }
    void dispositivoDaPorta() {
        QFETCH(int, numero);
        QFETCH(QString, esperado);
        AmbienteDeTeste ambiente;
        ambiente.EscreveINI(
            "[MODEM]\r\nPorta Serial=1\r\ncom2 = /dev/pts/7\r\nCOM5=/dev/ttyUSB0\r\nCOM3=\r\n");
        QCOMPARE(DispositivoDaPorta(qint16(numero)), esperado);
    }
};

QTEST_GUILESS_MAIN(tst_PerfilINI)
#include "tst_PerfilINI.moc"
