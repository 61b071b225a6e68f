// The settings file: Windows profile rules, Windows-1252 bytes, damaged and unwritable files.
#include "AmbienteDeTeste.h"
#include "common/Win1252.h"
#include "settings/DispositivoDaPorta.h"
#include "settings/PerfilINI.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtTest>
#include <memory>

namespace {
const QString kSemArquivo = QStringLiteral("<sem arquivo>");

QByteArray Utf8(const char* texto) {
    return QByteArray(texto);
}
QByteArray Win(const QString& texto) {
    return ParaWin1252(texto);
}

// True when the current user can still create files in a directory (root ignores permissions).
bool AindaGravavel(const QString& diretorio) {
    QFile sonda(QDir(diretorio).filePath(QStringLiteral("sonda")));
    const bool criou = sonda.open(QIODevice::WriteOnly);
    if (criou)
        sonda.remove();
    return criou;
}
} // namespace

class tst_PerfilINI : public QObject {
    Q_OBJECT

private slots:
    void init() { m_ambiente = std::make_unique<AmbienteDeTeste>(); }
    void cleanup() { m_ambiente.reset(); }

    void caminhoSegueOConfigDoUsuario();
    void leitura_data();
    void leitura();
    void gravacao_data();
    void gravacao();
    void idaEVolta_data();
    void idaEVolta();
    void arquivoDanificado_data();
    void arquivoDanificado();
    void primeiraGravacaoCriaODiretorio();
    void gravacaoImpossivelNaoEstragaNada_data();
    void gravacaoImpossivelNaoEstragaNada();
    void dispositivoDaPorta_data();
    void dispositivoDaPorta();

private:
    std::unique_ptr<AmbienteDeTeste> m_ambiente;
};

void tst_PerfilINI::caminhoSegueOConfigDoUsuario() {
    QCOMPARE(CaminhoDoINI(), m_ambiente->Diretorio() + QStringLiteral("/config/Bipvoxcf.INI"));
    QCOMPARE(QFileInfo(CaminhoDoINI(QStringLiteral("Outro.INI"))).fileName(), QStringLiteral("Outro.INI"));
}

void tst_PerfilINI::leitura_data() {
    QTest::addColumn<QByteArray>("conteudo");
    QTest::addColumn<QString>("secao");
    QTest::addColumn<QString>("chave");
    QTest::addColumn<QString>("padrao");
    QTest::addColumn<QString>("esperado");

    const QByteArray modem("[MODEM]\r\nPorta Serial=2\r\n\r\n[DISCAGEM]\r\nLinha=Tom\r\nPrefixoPABX=\r\n");
    const QString cento50(150, QLatin1Char('x'));

    // Missing things give the reader's default.
    QTest::newRow("sem arquivo") << kSemArquivo.toLatin1() << "MODEM"
                                 << "Porta Serial"
                                 << "VAZIO"
                                 << "VAZIO";
    QTest::newRow("arquivo vazio") << QByteArray() << "MODEM"
                                   << "Porta Serial"
                                   << "VAZIO"
                                   << "VAZIO";
    QTest::newRow("seção ausente") << modem << "OPÇÕES"
                                   << "AutoEnviar"
                                   << "Não"
                                   << "Não";
    QTest::newRow("chave ausente") << modem << "MODEM"
                                   << "Inicialização"
                                   << "ATZ"
                                   << "ATZ";
    QTest::newRow("chave de outra seção") << modem << "MODEM"
                                          << "Linha"
                                          << "Pulso"
                                          << "Pulso";
    QTest::newRow("PrefixoPABX vazio existe") << modem << "DISCAGEM"
                                              << "PrefixoPABX"
                                              << "VAZIO"
                                              << "";
    QTest::newRow("PrefixoPABX ausente") << QByteArray("[DISCAGEM]\r\nLinha=Tom\r\n") << "DISCAGEM"
                                         << "PrefixoPABX"
                                         << "VAZIO"
                                         << "VAZIO";

    // Names match without regard to case, accented letters included.
    QTest::newRow("seção minúscula") << modem << "modem"
                                     << "Porta Serial"
                                     << ""
                                     << "2";
    QTest::newRow("chave maiúscula") << modem << "DISCAGEM"
                                     << "LINHA"
                                     << ""
                                     << "Tom";
    QTest::newRow("OPÇÕES por opções") << Win(QStringLiteral("[OPÇÕES]\r\nAutoEnviar=Sim\r\n")) << "opções"
                                       << "autoenviar"
                                       << "Não"
                                       << "Sim";
    QTest::newRow("Opção por OPÇÃO") << Win(QStringLiteral("[LISTAGEM]\r\nOpção=Usuário\r\n")) << "LISTAGEM"
                                     << "OPÇÃO"
                                     << "VAZIO"
                                     << "Usuário";
    QTest::newRow("valor não muda de caixa") << QByteArray("[DISCAGEM]\r\nLinha=tom\r\n") << "DISCAGEM"
                                             << "Linha"
                                             << "Pulso"
                                             << "tom";

    // Blanks and quotes, as GetPrivateProfileString reads them.
    QTest::newRow("brancos em volta")
        << QByteArray("  [ MODEM ]  \r\n  Porta Serial \t=  3 \t\r\n") << "MODEM"
        << "Porta Serial"
        << ""
        << "3";
    QTest::newRow("brancos no nome pedido") << modem << " MODEM "
                                            << " Porta Serial "
                                            << ""
                                            << "2";
    QTest::newRow("aspas duplas") << QByteArray("[A]\nB = \"  x y  \"\n") << "A"
                                  << "B"
                                  << ""
                                  << "  x y  ";
    QTest::newRow("aspas simples") << QByteArray("[A]\nB='z'\n") << "A"
                                   << "B"
                                   << ""
                                   << "z";
    QTest::newRow("aspas diferentes") << QByteArray("[A]\nB='z\"\n") << "A"
                                      << "B"
                                      << ""
                                      << "'z\"";
    QTest::newRow("uma aspa só") << QByteArray("[A]\nB=\"\n") << "A"
                                 << "B"
                                 << ""
                                 << "\"";
    QTest::newRow("igual no valor") << QByteArray("[A]\nB=c=d\n") << "A"
                                    << "B"
                                    << ""
                                    << "c=d";
    QTest::newRow("NUL termina o valor") << QByteArray("[A]\nB=ab\0cd\n", 12) << "A"
                                         << "B"
                                         << ""
                                         << "ab";

    // The 100-character buffer.
    QTest::newRow("valor de 150 vira 99") << QByteArray("[A]\r\nB=" + cento50.toLatin1() + "\r\n") << "A"
                                          << "B"
                                          << "" << cento50.left(99);
    QTest::newRow("padrão de 150 vira 99") << QByteArray() << "A"
                                           << "B" << cento50 << cento50.left(99);
    QTest::newRow("padrão perde brancos ao fim") << QByteArray() << "A"
                                                 << "B"
                                                 << " abc  "
                                                 << " abc";

    // Line structure.
    QTest::newRow("LF") << QByteArray("[MODEM]\nPorta Serial=4\n[X]\nY=1\n") << "MODEM"
                        << "Porta Serial"
                        << ""
                        << "4";
    QTest::newRow("CRLF") << QByteArray("[MODEM]\r\nPorta Serial=4\r\n[X]\r\nY=1\r\n") << "X"
                          << "Y"
                          << ""
                          << "1";
    QTest::newRow("sem fim de linha") << QByteArray("[X]\r\nY=1") << "X"
                                      << "Y"
                                      << ""
                                      << "1";
    QTest::newRow("primeira seção vale") << QByteArray("[A]\nB=1\n[a]\nB=2\nC=3\n") << "A"
                                         << "B"
                                         << ""
                                         << "1";
    QTest::newRow("repetida não é lida") << QByteArray("[A]\nB=1\n[a]\nC=3\n") << "A"
                                         << "C"
                                         << "-"
                                         << "-";
    QTest::newRow("primeira chave vale") << QByteArray("[A]\nB=1\nb=2\n") << "A"
                                         << "B"
                                         << ""
                                         << "1";
    QTest::newRow("comentário não é chave") << QByteArray("[A]\n;B=1\n") << "A"
                                            << "B"
                                            << "-"
                                            << "-";
    QTest::newRow("linha sem igual") << QByteArray("[A]\nB\n") << "A"
                                     << "B"
                                     << "-"
                                     << "-";
    QTest::newRow("chave antes de seção") << QByteArray("B=1\n[A]\n") << "A"
                                          << "B"
                                          << "-"
                                          << "-";
    QTest::newRow("cabeçalho sem colchete") << QByteArray("[A]\nB=1\n[C\nD=2\n") << "C"
                                            << "D"
                                            << "-"
                                            << "-";
    QTest::newRow("chaves após cabeçalho quebrado") << QByteArray("[A]\nB=1\n[C\nD=2\n") << "A"
                                                    << "D"
                                                    << "-"
                                                    << "2";
    QTest::newRow("colchete mais à direita") << QByteArray("[a]b]\nC=1\n") << "a]b"
                                             << "C"
                                             << "-"
                                             << "1";

    // Encoding.
    QTest::newRow("UTF-8 com acentos") << Utf8("[OPÇÕES]\nAutoEnviar=Sim\n") << "OPÇÕES"
                                       << "AutoEnviar"
                                       << ""
                                       << "Sim";
    QTest::newRow("UTF-8 valor acentuado") << Utf8("[LISTAGEM]\nOpção=Usuário\n") << "LISTAGEM"
                                           << "Opção"
                                           << ""
                                           << "Usuário";
    QTest::newRow("BOM não entra no nome") << Utf8("\xEF\xBB\xBF[MODEM]\r\nPorta Serial=1\r\n") << "MODEM"
                                           << "Porta Serial"
                                           << ""
                                           << "1";
    QTest::newRow("Win-1252 inválido em UTF-8") << Win(QStringLiteral("[DISCAGEM]\nPABX=Não\n")) << "DISCAGEM"
                                                << "PABX"
                                                << ""
                                                << "Não";
    QTest::newRow("Win-1252 euro") << QByteArray("[A]\nB=\x80 10\n") << "A"
                                   << "B"
                                   << ""
                                   << "€ 10";
}

void tst_PerfilINI::leitura() {
    QFETCH(QByteArray, conteudo);
    QFETCH(QString, secao);
    QFETCH(QString, chave);
    QFETCH(QString, padrao);
    QFETCH(QString, esperado);
    if (conteudo != kSemArquivo.toLatin1())
        m_ambiente->EscreveINI(conteudo);
    QCOMPARE(LeINI(secao, chave, padrao), esperado);
    // Reading never touches the file.
    if (conteudo == kSemArquivo.toLatin1())
        QVERIFY(!QFile::exists(CaminhoDoINI()));
    else
        QCOMPARE(m_ambiente->LeINIBruto(), conteudo);
}

void tst_PerfilINI::gravacao_data() {
    QTest::addColumn<QByteArray>("antes");
    QTest::addColumn<QString>("secao");
    QTest::addColumn<QString>("chave");
    QTest::addColumn<QString>("valor");
    QTest::addColumn<QByteArray>("depois");

    const QByteArray sem = kSemArquivo.toLatin1();
    QTest::newRow("cria o arquivo") << sem << "MODEM"
                                    << "Porta Serial"
                                    << "1" << QByteArray("[MODEM]\r\nPorta Serial=1\r\n");
    QTest::newRow("arquivo vazio") << QByteArray() << "MODEM"
                                   << "Porta Serial"
                                   << "1" << QByteArray("[MODEM]\r\nPorta Serial=1\r\n");
    QTest::newRow("OPÇÕES em Win-1252") << sem << "OPÇÕES"
                                        << "AutoEnviar"
                                        << "Sim"
                                        << QByteArray("[\x4F\x50\xC7\xD5"
                                                      "ES]\r\nAutoEnviar=Sim\r\n");
    QTest::newRow("Opção=Usuário em Win-1252")
        << sem << "LISTAGEM"
        << "Opção"
        << "Usuário" << QByteArray("[LISTAGEM]\r\nOp\xE7\xE3o=Usu\xE1rio\r\n");
    QTest::newRow("Não em Win-1252") << sem << "DISCAGEM"
                                     << "PABX"
                                     << "Não" << QByteArray("[DISCAGEM]\r\nPABX=N\xE3o\r\n");

    const QByteArray cheio("; Bipvox\r\n"
                           "[modem]\r\n"
                           "PORTA SERIAL = 2\r\n"
                           "Outra=x\r\n"
                           "\r\n"
                           "[DISCAGEM]\r\n"
                           "; tom ou pulso\r\n"
                           "Linha=Tom\r\n"
                           "\r\n\r\n");
    QTest::newRow("troca no lugar") << cheio << "MODEM"
                                    << "Porta Serial"
                                    << "3"
                                    << QByteArray("; Bipvox\r\n[modem]\r\nPORTA SERIAL = 3\r\nOutra=x\r\n\r\n"
                                                  "[DISCAGEM]\r\n; tom ou pulso\r\nLinha=Tom\r\n\r\n\r\n");
    QTest::newRow("chave nova no fim da seção")
        << cheio << "MODEM"
        << "Inicialização"
        << "AT&F"
        << QByteArray("; Bipvox\r\n[modem]\r\nPORTA SERIAL = 2\r\nOutra=x\r\nInicializa\xE7\xE3o=AT&F\r\n\r\n"
                      "[DISCAGEM]\r\n; tom ou pulso\r\nLinha=Tom\r\n\r\n\r\n");
    QTest::newRow("chave nova antes dos brancos finais")
        << cheio << "DISCAGEM"
        << "PABX"
        << "Sim"
        << QByteArray("; Bipvox\r\n[modem]\r\nPORTA SERIAL = 2\r\nOutra=x\r\n\r\n"
                      "[DISCAGEM]\r\n; tom ou pulso\r\nLinha=Tom\r\nPABX=Sim\r\n\r\n\r\n");
    QTest::newRow("seção nova no fim")
        << cheio << "LISTAGEM"
        << "Opção"
        << "Grupo" << QByteArray(cheio + "[LISTAGEM]\r\nOp\xE7\xE3o=Grupo\r\n");
    QTest::newRow("seção só com cabeçalho") << QByteArray("[A]\r\n[B]\r\n") << "A"
                                            << "C"
                                            << "1" << QByteArray("[A]\r\nC=1\r\n[B]\r\n");
    QTest::newRow("grafia original fica") << Win(QStringLiteral("[opções]\r\nautoenviar=Não\r\n")) << "OPÇÕES"
                                          << "AutoEnviar"
                                          << "Sim"
                                          << QByteArray("[op\xE7\xF5"
                                                        "es]\r\nautoenviar=Sim\r\n");
    QTest::newRow("brancos depois do igual ficam") << QByteArray("[A]\r\nB =   1\r\n") << "A"
                                                   << "B"
                                                   << "2" << QByteArray("[A]\r\nB =   2\r\n");

    // Line ends.
    QTest::newRow("LF fica LF") << QByteArray("[A]\nB=1\n") << "A"
                                << "C"
                                << "2" << QByteArray("[A]\nB=1\nC=2\n");
    QTest::newRow("LF seção nova") << QByteArray("[A]\nB=1\n") << "D"
                                   << "E"
                                   << "3" << QByteArray("[A]\nB=1\n[D]\nE=3\n");
    QTest::newRow("LF troca") << QByteArray("[A]\nB=1\n") << "A"
                              << "B"
                              << "9" << QByteArray("[A]\nB=9\n");
    QTest::newRow("LF sem fim de linha") << QByteArray("[A]\nB=1") << "A"
                                         << "C"
                                         << "2" << QByteArray("[A]\nB=1\nC=2\n");
    QTest::newRow("CRLF sem fim de linha") << QByteArray("[A]\r\nB=1") << "D"
                                           << "E"
                                           << "3" << QByteArray("[A]\r\nB=1\r\n[D]\r\nE=3\r\n");
    QTest::newRow("uma linha sem fim") << QByteArray("; só isto") << "A"
                                       << "B"
                                       << "1" << QByteArray("; s\xF3 isto\r\n[A]\r\nB=1\r\n");

    // Values are stored as given.
    QTest::newRow("valor com brancos") << sem << "A"
                                       << "B"
                                       << "  x  " << QByteArray("[A]\r\nB=  x  \r\n");
    QTest::newRow("valor vazio") << QByteArray("[A]\r\nB=1\r\n") << "A"
                                 << "B"
                                 << "" << QByteArray("[A]\r\nB=\r\n");
    QTest::newRow("valor de 150 inteiro")
        << sem << "A"
        << "B" << QString(150, QLatin1Char('y')) << QByteArray("[A]\r\nB=" + QByteArray(150, 'y') + "\r\n");
    QTest::newRow("quebra de linha corta o valor")
        << sem << "A"
        << "B"
        << "1\r\n[MODEM]\r\nPorta Serial=9" << QByteArray("[A]\r\nB=1\r\n");
    QTest::newRow("aspas no valor") << sem << "A"
                                    << "B"
                                    << "O'Brien \"x\"" << QByteArray("[A]\r\nB=O'Brien \"x\"\r\n");
    QTest::newRow("fora do Win-1252") << sem << "A"
                                      << "B"
                                      << "中€" << QByteArray("[A]\r\nB=?\x80\r\n");

    // A text editor's UTF-8 file converges to Windows-1252.
    QTest::newRow("UTF-8 vira Win-1252")
        << Utf8("\xEF\xBB\xBF; Configurações\n[OPÇÕES]\nAutoEnviar=Não\n") << "OPÇÕES"
        << "AutoEnviar"
        << "Sim"
        << QByteArray("; Configura\xE7\xF5"
                      "es\n[OP\xC7\xD5"
                      "ES]\nAutoEnviar=Sim\n");
    QTest::newRow("UTF-8 sem BOM") << Utf8("[LISTAGEM]\r\nOpção=Usuário\r\n") << "LISTAGEM"
                                   << "Opção"
                                   << "Grupo" << QByteArray("[LISTAGEM]\r\nOp\xE7\xE3o=Grupo\r\n");
    QTest::newRow("BOM só com ASCII") << Utf8("\xEF\xBB\xBF[A]\r\nB=1\r\n") << "A"
                                      << "B"
                                      << "2" << QByteArray("[A]\r\nB=2\r\n");

    // Names no line could hold: nothing is written.
    QTest::newRow("chave vazia") << sem << "A"
                                 << ""
                                 << "1" << sem;
    QTest::newRow("seção vazia") << sem << " "
                                 << "B"
                                 << "1" << sem;
    QTest::newRow("igual na chave") << sem << "A"
                                    << "B=C"
                                    << "1" << sem;
    QTest::newRow("quebra na seção") << sem << "A]\n[B"
                                     << "C"
                                     << "1" << sem;
}

void tst_PerfilINI::gravacao() {
    QFETCH(QByteArray, antes);
    QFETCH(QString, secao);
    QFETCH(QString, chave);
    QFETCH(QString, valor);
    QFETCH(QByteArray, depois);
    const QByteArray sem = kSemArquivo.toLatin1();
    if (antes != sem)
        m_ambiente->EscreveINI(antes);
    GravaINI(secao, chave, valor);
    if (depois == sem) {
        QVERIFY(!QFile::exists(CaminhoDoINI()));
        return;
    }
    QCOMPARE(m_ambiente->LeINIBruto(), depois);
    // No temporary file is left beside it.
    QCOMPARE(QDir(QFileInfo(CaminhoDoINI()).path()).entryList(QDir::Files), QStringList{"Bipvoxcf.INI"});
}

void tst_PerfilINI::idaEVolta_data() {
    QTest::addColumn<QString>("secao");
    QTest::addColumn<QString>("chave");
    QTest::addColumn<QString>("valor");
    QTest::addColumn<QString>("lido");

    QTest::newRow("porta") << "MODEM"
                           << "Porta Serial"
                           << "3"
                           << "3";
    QTest::newRow("vazio não é o padrão") << "DISCAGEM"
                                          << "PrefixoPABX"
                                          << ""
                                          << "";
    QTest::newRow("acentos") << "OPÇÕES"
                             << "AutoEnviar"
                             << "Não"
                             << "Não";
    QTest::newRow("Usuário") << "LISTAGEM"
                             << "Opção"
                             << "Usuário"
                             << "Usuário";
    QTest::newRow("150 voltam 99") << "DISCAGEM"
                                   << "Telefone" << QString(150, QLatin1Char('7'))
                                   << QString(99, QLatin1Char('7'));
    QTest::newRow("99 voltam inteiros")
        << "DISCAGEM"
        << "Telefone" << QString(99, QLatin1Char('7')) << QString(99, QLatin1Char('7'));
    QTest::newRow("aspas e apóstrofo") << "A"
                                       << "B"
                                       << "D'Ávila \"Zé\""
                                       << "D'Ávila \"Zé\"";
}

void tst_PerfilINI::idaEVolta() {
    QFETCH(QString, secao);
    QFETCH(QString, chave);
    QFETCH(QString, valor);
    QFETCH(QString, lido);
    GravaINI(QStringLiteral("OUTRA"), QStringLiteral("Antes"), QStringLiteral("a"));
    GravaINI(secao, chave, QStringLiteral("velho"));
    GravaINI(secao, chave, valor);
    GravaINI(QStringLiteral("OUTRA"), QStringLiteral("Depois"), QStringLiteral("d"));
    QCOMPARE(LeINI(secao, chave, QStringLiteral("VAZIO")), lido);
    QCOMPARE(LeINI(secao.toLower(), chave.toUpper(), QStringLiteral("VAZIO")), lido);
    QCOMPARE(LeINI(QStringLiteral("OUTRA"), QStringLiteral("Antes"), QString()), QStringLiteral("a"));
    QCOMPARE(LeINI(QStringLiteral("OUTRA"), QStringLiteral("Depois"), QString()), QStringLiteral("d"));
    QCOMPARE(m_ambiente->LeINIBruto().count(ParaWin1252(QLatin1Char('\n') + chave + QLatin1Char('='))), 1);
}

void tst_PerfilINI::arquivoDanificado_data() {
    QTest::addColumn<QByteArray>("conteudo");

    QRandomGenerator gerador(1252);
    QByteArray lixo(64 * 1024, Qt::Uninitialized);
    for (char& c : lixo)
        c = static_cast<char>(gerador.bounded(256));
    QTest::newRow("lixo binário") << lixo;
    QTest::newRow("NULs") << QByteArray(4096, '\0');
    QTest::newRow("NUL no meio") << QByteArray("[MO\0DEM]\r\nPorta\0 Serial=1\r\n[A\0", 30);
    QTest::newRow("linhas sem igual") << QByteArray("abc\r\ndef\r\n[\r\n]\r\n=\r\n==\r\n");
    QTest::newRow("cabeçalhos sem colchete") << QByteArray("[MODEM\r\n[DISCAGEM\r\nPorta Serial=1\r\n[");
    QTest::newRow("CRs soltos") << QByteArray("\r\r\r[A]\rB=1\r\r");
    QTest::newRow("UTF-8 truncado") << QByteArray("\xEF\xBB\xBF[A]\r\nB=\xC3");
    QByteArray grande;
    grande.reserve(10 * 1024 * 1024 + 64);
    while (grande.size() < 10 * 1024 * 1024)
        grande.append("Chave sem se\xE7\xE3o=valor de enchimento 0123456789\r\n");
    QTest::newRow("10 MB") << grande;
    QTest::newRow("uma linha de 10 MB") << QByteArray(10 * 1024 * 1024, 'z');
}

void tst_PerfilINI::arquivoDanificado() {
    QFETCH(QByteArray, conteudo);
    m_ambiente->EscreveINI(conteudo);
    QCOMPARE(LeINI(QStringLiteral("MODEM"), QStringLiteral("Porta Serial"), QStringLiteral("VAZIO")),
             QStringLiteral("VAZIO"));
    QCOMPARE(m_ambiente->LeINIBruto(), conteudo);

    GravaINI(QStringLiteral("OPÇÕES"), QStringLiteral("AutoEnviar"), QStringLiteral("Sim"));
    QCOMPARE(LeINI(QStringLiteral("OPÇÕES"), QStringLiteral("AutoEnviar"), QStringLiteral("Não")),
             QStringLiteral("Sim"));
    const QByteArray depois = m_ambiente->LeINIBruto();
    if (!conteudo.startsWith("\xEF\xBB\xBF")) // a UTF-8 file is rewritten whole; any other keeps its bytes
        QVERIFY(depois.startsWith(conteudo));
    const QByteArray secao("[OP\xC7\xD5"
                           "ES]");
    QVERIFY(depois.endsWith(secao + "\r\nAutoEnviar=Sim\r\n") ||
            depois.endsWith(secao + "\nAutoEnviar=Sim\n"));
}

void tst_PerfilINI::primeiraGravacaoCriaODiretorio() {
    const QString novo = m_ambiente->Diretorio() + QStringLiteral("/config/novo/sub");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(novo));
    QCOMPARE(LeINI(QStringLiteral("MODEM"), QStringLiteral("Porta Serial"), QStringLiteral("VAZIO")),
             QStringLiteral("VAZIO"));
    QVERIFY(!QDir(novo).exists()); // reading creates nothing
    GravaINI(QStringLiteral("MODEM"), QStringLiteral("Porta Serial"), QStringLiteral("2"));
    QCOMPARE(CaminhoDoINI(), novo + QStringLiteral("/Bipvoxcf.INI"));
    QVERIFY(QFile::exists(novo + QStringLiteral("/Bipvoxcf.INI")));
    QCOMPARE(LeINI(QStringLiteral("MODEM"), QStringLiteral("Porta Serial"), QStringLiteral("VAZIO")),
             QStringLiteral("2"));
}

void tst_PerfilINI::gravacaoImpossivelNaoEstragaNada_data() {
    QTest::addColumn<QString>("caso");
    QTest::newRow("diretório só de leitura") << "diretorio";
    QTest::newRow("arquivo ilegível") << "ilegivel";
    QTest::newRow("diretório no lugar do arquivo") << "pasta";
    QTest::newRow("arquivo no lugar do diretório") << "arquivo";
}

void tst_PerfilINI::gravacaoImpossivelNaoEstragaNada() {
    QFETCH(QString, caso);
    const QByteArray original("; guardado\r\n[MODEM]\r\nPorta Serial=2\r\n");
    const QString config = QFileInfo(CaminhoDoINI()).path();
    QFile ini(CaminhoDoINI());
    const auto todos = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

    if (caso == QLatin1String("diretorio")) {
        m_ambiente->EscreveINI(original);
        QFile::setPermissions(config, QFile::ReadOwner | QFile::ExeOwner);
        if (AindaGravavel(config)) {
            QFile::setPermissions(config, todos);
            QSKIP("permissions do not bind this user");
        }
    } else if (caso == QLatin1String("ilegivel")) {
        m_ambiente->EscreveINI(original);
        ini.setPermissions(QFile::WriteOwner);
        if (ini.open(QIODevice::ReadOnly)) {
            ini.close();
            ini.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
            QSKIP("permissions do not bind this user");
        }
    } else if (caso == QLatin1String("pasta")) {
        QVERIFY(QDir().mkpath(CaminhoDoINI()));
    } else {
        QVERIFY(QDir(config).removeRecursively());
        QFile bloqueio(config);
        QVERIFY(bloqueio.open(QIODevice::WriteOnly));
    }

    GravaINI(QStringLiteral("MODEM"), QStringLiteral("Porta Serial"), QStringLiteral("4"));
    GravaINI(QStringLiteral("OPÇÕES"), QStringLiteral("AutoEnviar"), QStringLiteral("Sim"));
    const QString lido =
        LeINI(QStringLiteral("MODEM"), QStringLiteral("Porta Serial"), QStringLiteral("VAZIO"));

    QFile::setPermissions(config, todos);
    ini.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    if (caso == QLatin1String("diretorio")) {
        QCOMPARE(lido, QStringLiteral("2"));
        QCOMPARE(m_ambiente->LeINIBruto(), original);
        QCOMPARE(QDir(config).entryList(QDir::Files), QStringList{"Bipvoxcf.INI"});
    } else if (caso == QLatin1String("ilegivel")) {
        QCOMPARE(lido, QStringLiteral("VAZIO"));
        QCOMPARE(m_ambiente->LeINIBruto(), original);
    } else if (caso == QLatin1String("pasta")) {
        QCOMPARE(lido, QStringLiteral("VAZIO"));
        QVERIFY(QFileInfo(CaminhoDoINI()).isDir());
    } else {
        QCOMPARE(lido, QStringLiteral("VAZIO"));
        QVERIFY(QFileInfo(config).isFile());
    }
}

void tst_PerfilINI::dispositivoDaPorta_data() {
    QTest::addColumn<QByteArray>("conteudo");
    QTest::addColumn<int>("numero");
    QTest::addColumn<QString>("esperado");

    const QByteArray chaves(
        "[MODEM]\r\nPorta Serial=1\r\ncom2 = /dev/pts/7\r\nCOM5=/dev/ttyUSB0\r\nCOM3=\r\n");
#ifdef Q_OS_WIN
    const QString com1 = QStringLiteral("COM1"), com3 = QStringLiteral("COM3"), com4 = QStringLiteral("COM4");
#else
    const QString com1 = QStringLiteral("/dev/ttyS0"), com3 = QStringLiteral("/dev/ttyS2"),
                  com4 = QStringLiteral("/dev/ttyS3");
#endif
    QTest::newRow("sem arquivo COM1") << QByteArray() << 1 << com1;
    QTest::newRow("sem arquivo COM4") << QByteArray() << 4 << com4;
    QTest::newRow("sem chave COM1") << chaves << 1 << com1;
    QTest::newRow("chave COM2") << chaves << 2 << "/dev/pts/7";
    QTest::newRow("chave vazia COM3") << chaves << 3 << com3;
    QTest::newRow("chave COM5") << chaves << 5 << "/dev/ttyUSB0";
    QTest::newRow("porta 0") << chaves << 0 << "";
    QTest::newRow("porta 5 sem chave") << QByteArray() << 5 << "";
    QTest::newRow("porta negativa") << chaves << -1 << "";
    QTest::newRow("chave em outra seção") << QByteArray("[DISCAGEM]\r\nCOM1=/dev/pts/1\r\n") << 1 << com1;
}

void tst_PerfilINI::dispositivoDaPorta() {
    QFETCH(QByteArray, conteudo);
    QFETCH(int, numero);
    QFETCH(QString, esperado);
    m_ambiente->EscreveINI(conteudo);
    QCOMPARE(DispositivoDaPorta(static_cast<qint16>(numero)), esperado);
}

QTEST_MAIN(tst_PerfilINI)
#include "tst_PerfilINI.moc"
