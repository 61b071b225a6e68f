// bipvox-enviar's command line and message, and what it writes for the operator.
#include "AmbienteDeTeste.h"
#include "CadastroDeTeste.h"
#include "Destinatario.h"
#include "EnvioPelaLinhaDeComando.h"
#include "MensagemDoEnvio.h"
#include "NomesParecidos.h"
#include "OpcoesDoEnvio.h"
#include "OperadorDeConsole.h"
#include "TabelaDeTeste.h"
#include "common/RelogioReal.h"
#include "settings/PerfilINI.h"

#include <QtTest>

#include <cstdio>

namespace {
// The arguments split at "|" ("-u" for --usuario); the message is what a send would take; an
// empty `recusa` means the line is accepted.
struct LinhaDeComando {
    const char* nome;
    QString argumentos;
    QByteArray entrada;
    QString recusa, mensagem;
};
const LinhaDeComando kLinhasDeComando[] = {
    {"usuário duas vezes",
     "--usuario|a|--usuario=b|oi",
     {},
     "--usuario foi dada mais de uma vez (\"a\" e \"b\")"},
    {"pager duas vezes", "--pager|1|--pager|1|oi", {}, "--pager foi dada mais de uma vez"},
    {"intervalo duas vezes",
     "-u|Ana|--intervalo=5|--intervalo|9|oi",
     {},
     "--intervalo foi dada mais de uma vez"},
    {"silencioso com valor", "-u|Ana|--silencioso=1|oi", {}, "a opção --silencioso não recebe valor"},
    {"só brancos", "-u|Ana| |\t", {}, "a mensagem só tem brancos"},
    {"quebra de linha sozinha na entrada", "-u|Ana|-", "\r\n\n", "a mensagem só tem brancos"},
    {"só o que a linha descarta", "-u|Ana|-", "\xad\n", "não tem nada que possa ser enviado"},
    {"entrada em Windows-1252", "-u|Ana|-", "Reuni\xe3o \xe0s 15h\n", "", "Reuniao as 15h"},
    {"fila com tentativas", "-u|Ana|--fila|--tentativas=2|oi", {}, "--tentativas não vale com --fila"},
    {"situação de um nome", "--situacao|12|x", {}, "número de página inválido: \"x\""},
    {"situação com destinatário", "-u|Ana|--situacao|12", {}, "--usuario não vale com --situacao"},
    {"código de 10", "--pager|1234567890|oi", {}, "", "oi"},
    {"código de 11", "--pager|12345678901|oi", {}, "código de pager inválido: \"12345678901\""},
};

// A name looked for among users (or groups) entered in this order: "" when the last entry is
// found; "~" and the names suggested (none after it: no suggestion); else a piece of the refusal.
struct Procura {
    const char* nome;
    bool grupo;
    QStringList cadastro;
    QString digitado, esperado;
};
const QStringList kEquipe{"Ana Souza", "Ana Beatriz", "Álvaro Nogueira", "Pedro D'Ávila", "Bia"};
const Procura kProcuras[] = {
    {"mesmo nome",
     false,
     {"Ana Souza", "Bia", "Ana Souza"},
     "ana souza",
     "há 2 usuários com o nome \"ana souza\": \"Ana Souza\" (pager 1), \"Ana Souza\" (pager 3)"},
    {"maiúsculas e acentos",
     false,
     {"José Silva", "JOSE SILVA", "Jose Silva"},
     "Jose Silva",
     "há 3 usuários com o nome \"Jose Silva\": \"José Silva\" (pager 1), \"JOSE SILVA\" (pager 2), "
     "\"Jose Silva\" (pager 3)"},
    {"um só, escrito com outras maiúsculas", false, {"Ana", "Conceição"}, " CONCEIÇÃO ", ""},
    {"guardado com brancos em volta", false, {"Ana", " Bia "}, "bia", ""},
    {"sem o acento não é o nome, é sugerido",
     false,
     {"Ana", "Conceição"},
     "Conceicao",
     "nenhum usuário do cadastro se chama \"Conceicao\"; nada foi discado. Nomes parecidos: \"Conceição\"."},
    {"uma letra trocada", false, kEquipe, "Ana Sousa", "~\"Ana Souza\""},
    {"sem acento", false, kEquipe, "Alvaro Nogueira", "~\"Álvaro Nogueira\""},
    {"sem acento, com apóstrofo", false, kEquipe, "Pedro D'Avila", "~\"Pedro D'Ávila\""},
    {"dois brancos", false, kEquipe, "Ana  Souza", "~\"Ana Souza\""},
    {"o mais perto primeiro",
     false,
     {"Ana Sauza", "Ana Souza"},
     "Ana Sousa",
     "~\"Ana Souza\", \"Ana Sauza\""},
    {"nome curto: só quem o contém", false, {"Iva", "Ivone Reis"}, "Ivo", "~\"Ivone Reis\""},
    {"nada perto", false, kEquipe, "Xavier", "~"},
    {"grupo sem acento", true, {"Plantão", "Diretoria", "Plantonistas"}, "Plantao", "~\"Plantão\""},
    {"grupo com letra a menos", true, {"Plantão", "Diretoria"}, "Diretora", "~\"Diretoria\""},
};

// What was written to a temporary file, which is closed.
QByteArray Escrito(std::FILE* arquivo) {
    std::rewind(arquivo);
    QByteArray lido;
    char bloco[4096];
    for (size_t n; (n = std::fread(bloco, 1, sizeof bloco, arquivo)) > 0;)
        lido.append(bloco, qsizetype(n));
    std::fclose(arquivo);
    return lido;
}
} // namespace

class tst_Enviar : public QObject {
    Q_OBJECT

private slots:
    void linhaDeComando_data() { Linhas(kLinhasDeComando); }
    void linhaDeComando() {
        const LinhaDeComando& l = LinhaAtual(kLinhasDeComando);
        OpcoesDoEnvio opcoes;
        QString erro, preparada;
        if (InterpretaOpcoes(QString(l.argumentos).replace("-u|", "--usuario|").split('|'), opcoes, erro)) {
            const QString texto =
                opcoes.palavras == QStringList{"-"} ? TextoDaEntrada(l.entrada) : opcoes.palavras.join(' ');
            PreparaMensagem(texto, preparada, erro);
        }
        QVERIFY2(l.recusa.isEmpty() ? erro.isEmpty() : erro.contains(l.recusa), qPrintable(erro));
        QCOMPARE(preparada, l.mensagem);
    }

    // Users that a reader takes for one name are never paged by guess: all of them are listed. A
    // name that matched nobody brings the closest ones, best first; users and groups alike.
    void procura_data() { Linhas(kProcuras); }
    void procura() {
        const Procura& l = LinhaAtual(kProcuras);
        AmbienteDeTeste ambiente(true);
        qint32 ultimo = 0;
        for (int i = 0; i < l.cadastro.size(); ++i)
            ultimo = l.grupo ? CadastraGrupo(l.cadastro[i], {CadastraUsuario("Membro", "1")})
                             : CadastraUsuario(l.cadastro[i], QString::number(i + 1));
        const Destinatario achado = l.grupo ? ProcuraGrupo(l.digitado) : ProcuraUsuario(l.digitado);
        QCOMPARE(achado.id, l.esperado.isEmpty() ? ultimo : 0);
        if (l.esperado.startsWith('~'))
            QCOMPARE(achado.erro.section(QStringLiteral("Nomes parecidos: "), 1),
                     l.esperado.size() > 1 ? l.esperado.mid(1) + "." : QString());
        else
            QVERIFY2(l.esperado.isEmpty() ? achado.erro.isEmpty() : achado.erro.contains(l.esperado),
                     qPrintable(achado.erro));
    }

    // The reader's key of a name with any Latin-1 character (taken from a table) is the one the
    // whole normalization gives, as for every other name.
    void chaveLatin1() {
        for (char16_t c = 1; c < 256; ++c) {
            const QString nome = QStringLiteral("Zé  ") + QChar(c) + QStringLiteral("Ç ");
            QString esperada;
            for (const QChar l : nome.simplified().normalized(QString::NormalizationForm_KD))
                esperada += l.category() == QChar::Mark_NonSpacing ? QString() : QString(l);
            QCOMPARE(ChaveDoNome(nome), esperada.toCaseFolded());
        }
    }

    // --help is the reference and the manual agrees with it: every option, every range and default.
    void ajudaEManual() {
        QFile arquivo(QStringLiteral(BIPVOX_FONTES "/docs/enviar.md"));
        QVERIFY(arquivo.open(QIODevice::ReadOnly));
        const QString manual = QString::fromUtf8(arquivo.readAll());
        const QString ajuda = QString::fromUtf8(TextoDeAjuda);
        for (const QString& opcao : OpcoesConhecidas()) {
            QVERIFY2(ajuda.contains(QRegularExpression(opcao + "\\b")), qPrintable(opcao));
            QVERIFY2(manual.contains("`" + opcao), qPrintable(opcao));
        }
        for (const FaixaDeOpcao& faixa : FaixasDasOpcoes) {
            const QString texto = QStringLiteral("de %1 a %2").arg(faixa.minimo).arg(faixa.maximo);
            const QString padrao = texto + QStringLiteral("; padrão %1").arg(faixa.padrao);
            QVERIFY2(ajuda.contains(padrao) && manual.contains(padrao), faixa.opcao);
            OpcoesDoEnvio opcoes;
            QString erro;
            InterpretaOpcoes({QString(faixa.opcao) + "=" + QString::number(faixa.maximo + 1)}, opcoes, erro);
            QVERIFY2(erro.contains(texto), qPrintable(erro));
        }
    }

    // Settings that cannot work are named as the cause, once: no retry, nothing sent.
    void configuracao_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("saida");
        QTest::addColumn<QString>("escrito");
        QTest::addColumn<QString>("ausente");
        const QByteArray tcp = "[CONEX\xc3O]\nTipo=TCP\nEndere\xe7o=127.0.0.1\nPorta TCP=";
        const QString fora = "\", não é um número de 1 a 65535";
        QTest::newRow("porta abc") << tcp + "abc" << 4 << "\"abc" + fora << "Tentativa";
        QTest::newRow("porta vazia") << tcp << 4 << "\"" + fora << "Tentativa";
        QTest::newRow("porta 0") << tcp + "0" << 4 << "\"0" + fora << "Tentativa";
        QTest::newRow("porta 65536") << tcp + "65536" << 4 << "\"65536" + fora << "Tentativa";
        QTest::newRow("IPv6 entre colchetes")
            << QByteArray(tcp).replace("127.0.0.1", "[::1]") + "1" << 2 << "central em [::1]:1"
            << "[[";
        QTest::newRow("arquivo grande pedindo TCP")
            << tcp + "5000\n;" + QByteArray(TamanhoMaximoDoINI, 'x') << 4 << "o limite é 1024 KB"
            << "não foi configurado";
    }
    void configuracao() {
        QFETCH(QByteArray, ini);
        QFETCH(int, saida);
        QFETCH(QString, escrito);
        QFETCH(QString, ausente);
        AmbienteDeTeste ambiente(true);
        CadastraUsuario("Ana", "1111");
        ambiente.EscreveINI(ini);
        OpcoesDoEnvio opcoes;
        QString erro;
        QVERIFY(InterpretaOpcoes({"--tentativas=3", "--intervalo=0", "--usuario", "Ana", "--banco",
                                  ambiente.Diretorio() + "/Pager.Mdb", "oi"},
                                 opcoes, erro));
        std::FILE* arquivo = std::tmpfile();
        RelogioReal relogio;
        OperadorDeConsole console(false, arquivo);
        QCOMPARE(int(ExecutaEnvio(opcoes, "oi", console, relogio)), saida);
        const QString linhas = QString::fromUtf8(Escrito(arquivo));
        QVERIFY2(linhas.contains(escrito) && !linhas.contains(ausente), qPrintable(linhas));
    }

    // A name or code can hold a terminal's escape sequences; they reach the terminal as text.
    void linhaEscrita_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QByteArray>("linha");
        QTest::newRow("título da janela") << QString("nenhum usuário se chama \"\x1b]0;pwned\x07\"")
                                          << QByteArray("nenhum usuário se chama \"\\x1B]0;pwned\\x07\"");
        QTest::newRow("cor e apagar tela")
            << QString("\x1b[2J\x1b[31mAna") << QByteArray("\\x1B[2J\\x1B[31mAna");
        QTest::newRow("C1 e direção")
            << QString::fromUtf16(u"Ana\u009b6n \u202eanA") << QByteArray("Ana\\x9B6n \\u202EanA");
        QTest::newRow("acentos ficam") << QString::fromUtf16(u"Plantão João") << QByteArray("Plantão João");
    }
    void linhaEscrita() {
        QFETCH(QString, texto);
        QFETCH(QByteArray, linha);
        std::FILE* arquivo = std::tmpfile();
        OperadorDeConsole(false, arquivo).Aviso(texto);
        QCOMPARE(Escrito(arquivo), "bipvox-enviar: " + linha + "\n");
    }
};

QTEST_GUILESS_MAIN(tst_Enviar)
#include "tst_Enviar.moc"
