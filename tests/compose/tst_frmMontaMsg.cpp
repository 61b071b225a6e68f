// The composition window: listing mode, recipient list and codes, typed filter, 240-character
// box, recall, the checks before a send and a send to the chosen recipient.
#include "BancadaVirtual.h"
#include "CadastroDeTeste.h"
#include "common/Modulo.h"
#include "common/Win1252.h"
#include "compose/frmMontaMsg.h"
#include "settings/PerfilINI.h"
#include "store/BancoDeDados.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QSqlQuery>
#include <QToolButton>
#include <QtTest>

namespace {
struct Janela : BancadaVirtual {
    std::unique_ptr<frmMontaMsg> janela;
    QComboBox* lista = nullptr;
    QPlainTextEdit* texto = nullptr;
    explicit Janela(const QByteArray& ini = QByteArray()) {
        QVERIFY(ambiente.AbreBancoVazio());
        ambiente.EscreveINI(ini);
        modem.ModemQueRespondeOK();
        Roteiro({"ATD|\r\nCONNECT 9600\r\n|2", "\x02|\r\x06\r|0.5"});
        modem.TerminalQueAceitaLogOn();
    }
    void Abre() {
        janela = std::make_unique<frmMontaMsg>(ctx);
        lista = janela->findChild<QComboBox*>(QStringLiteral("cmbUsuario"));
        texto = janela->findChild<QPlainTextEdit*>(QStringLiteral("txtMensagem"));
    }
    template <typename T> T* Controle(const char* nome) { return janela->findChild<T*>(QLatin1String(nome)); }
    QStringList Itens() const {
        QStringList itens;
        for (int i = 0; i < lista->count(); ++i)
            itens << lista->itemText(i);
        return itens;
    }
    QString Opcao() const {
        return LeINI(QStringLiteral("LISTAGEM"), QStringLiteral("Opção"), QStringLiteral("?"));
    }
};

// Each character as a key press carrying its text (QTest::keyClicks takes ASCII only).
void Digita(QWidget* alvo, const QString& texto) {
    for (const QChar c : texto)
        QTest::sendKeyEvent(QTest::Click, alvo, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
}
} // namespace

class tst_frmMontaMsg : public QObject {
    Q_OBJECT
private slots:
    void modoDeListagem_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<bool>("usuarios");
        QTest::addColumn<QString>("gravado");
        QTest::newRow("sem arquivo") << QByteArray() << true << "Usuário";
        QTest::newRow("Usuário") << ParaWin1252("[LISTAGEM]\r\nOpção=Usuário\r\n") << true << "Usuário";
        QTest::newRow("usuário é grupo")
            << ParaWin1252("[LISTAGEM]\r\nOpção=usuário\r\n") << false << "usuário";
        QTest::newRow("Grupo") << ParaWin1252("[LISTAGEM]\r\nOpção=Grupo\r\n") << false << "Grupo";
    }
    void modoDeListagem() {
        QFETCH(QByteArray, ini);
        QFETCH(bool, usuarios);
        QFETCH(QString, gravado);
        Janela j(ini);
        const qint32 bruno = CadastraUsuario(QStringLiteral("Bruno"), QStringLiteral("200"));
        const qint32 alvaro = CadastraUsuario(QStringLiteral("Álvaro D'Ávila"), QStringLiteral("100"));
        const qint32 vendas = CadastraGrupo(QStringLiteral("Vendas"), {alvaro});
        const qint32 diretoria = CadastraGrupo(QStringLiteral("diretoria"), {bruno});
        Modulo::CodigosDaLista.fill(77); // left by an earlier list
        j.Abre();
        QCOMPARE(j.Opcao(), gravado); // written when missing, before anything is done
        QCOMPARE(j.janela->DestinoEhUsuario(), usuarios);
        const QStringList itens =
            usuarios ? QStringList{"Álvaro D'Ávila", "Bruno"} : QStringList{"diretoria", "Vendas"};
        QCOMPARE(j.Itens(), itens);
        QCOMPARE(Modulo::CodigosDaLista.mid(0, 4), usuarios ? QVector<qint32>({0, alvaro, bruno, 0})
                                                            : QVector<qint32>({0, diretoria, vendas, 0}));
        QCOMPARE(j.janela->IndiceDaLista(), 0);
    }

    void retornarGuardaOModoEscapeNao() {
        Janela j;
        j.Abre();
        j.janela->show();
        QTest::mouseClick(j.Controle<QRadioButton>("optListaPorGrupo"), Qt::LeftButton);
        QTest::keyClick(j.janela.get(), Qt::Key_Escape);
        QCOMPARE(j.Opcao(), QStringLiteral("Usuário"));
        j.Abre();
        j.janela->show();
        QTest::mouseClick(j.Controle<QRadioButton>("optListaPorGrupo"), Qt::LeftButton);
        j.Controle<QToolButton>("cmdRetornar")->click();
        QVERIFY(!j.janela->isVisible());
        QCOMPARE(j.Opcao(), QStringLiteral("Grupo"));
    }

    void caixaDeTexto_data() {
        QTest::addColumn<QString>("antes");
        QTest::addColumn<QString>("acao"); // "digita:...", "cola:..."
        QTest::addColumn<QString>("depois");
        const QString x240(240, 'x');
        QTest::newRow("acentos trocados") << ""
                                          << "digita:áéíóúêâüçÁÉÍÓÚÃãÕõÇñÑà"
                                          << "aeioueaucAEIOUAaOoCnNa";
        QTest::newRow("outros ficam") << ""
                                      << "digita:ôÂÊÔÀÜèÈ"
                                      << "ôÂÊÔÀÜèÈ";
        QTest::newRow("colado não é filtrado") << ""
                                               << "cola:á Ç"
                                               << "á Ç";
        QTest::newRow("cheio recusa") << x240 << "digita:a" << x240;
        QTest::newRow("colando demais") << ""
                                        << "cola:" + QString(300, 'k') << QString(240, 'k');
        QTest::newRow("=anterior") << ""
                                   << "digita:=anterior"
                                   << "Reunião\namanhã";
        QTest::newRow("x=ANTERIOR") << ""
                                    << "digita:x=ANTERIOR"
                                    << "x=ANTERIOR";
    }
    void caixaDeTexto() {
        QFETCH(QString, antes);
        QFETCH(QString, acao);
        QFETCH(QString, depois);
        Janela j;
        Modulo::MensagemEnvio = QStringLiteral("Reunião\namanhã");
        j.Abre();
        j.texto->setPlainText(antes);
        j.texto->moveCursor(QTextCursor::End);
        if (acao.startsWith(QLatin1String("digita:"))) {
            Digita(j.texto, acao.mid(7));
        } else {
            QApplication::clipboard()->setText(acao.mid(5));
            j.texto->paste();
        }
        QCOMPARE(j.texto->toPlainText(), depois);
    }

    void verificacoesAntesDeEnviar() {
        Janela j;
        j.Abre();
        j.texto->setPlainText(QStringLiteral("oi"));
        j.Controle<QToolButton>("cmdEnviar")->click();
        CadastraUsuario(QStringLiteral("Ana"), QStringLiteral("100"));
        j.Abre();
        j.Controle<QToolButton>("cmdEnviar")->click();
        QCOMPARE(j.operador.TextosDasCaixas(),
                 (QStringList{"Favor selecionar o destinatário antes de enviar a mensagem.",
                              "Favor digitar a mensagem para depois enviá-la."}));
        QCOMPARE(j.operador.caixas[1].titulo, QStringLiteral("Advertência:"));
        QVERIFY(j.modem.linha.isEmpty());
    }

    void envioAoTerceiroGrupo() {
        Janela j(ParaWin1252("[LISTAGEM]\r\nOpção=Grupo\r\n"));
        for (const QString& nome : {"Delta", "Alfa", "Charlie", "Bravo"})
            CadastraGrupo(nome, {CadastraUsuario(nome, QStringLiteral("9") + nome.at(0))});
        j.Abre();
        j.lista->setCurrentIndex(2);
        j.texto->setPlainText(QStringLiteral("Aviso geral"));
        bool medidorVisivel = false;
        j.relogio.aoPausar = [&medidorVisivel] {
            if (QWidget* envio = QApplication::activeModalWidget())
                medidorVisivel = medidorVisivel || envio->findChild<QProgressBar*>("valStatus")->isVisible();
        };
        j.Controle<QToolButton>("cmdEnviar")->click();
        QCOMPARE(j.modem.Contagem("\x02"), 1);
        QVERIFY(j.modem.linha.contains("\x02"
                                       "9C\rAviso geral\r\x03"));
        QVERIFY(medidorVisivel);
        QVERIFY(j.texto->toPlainText().isEmpty());
        QCOMPARE(Modulo::MensagemEnvio, QStringLiteral("Aviso geral"));
        QCOMPARE(j.operador.StatusAtual(), QStringLiteral(" Pronto"));
    }

    void bancoDanificadoAvisaSemQuebrar() {
        Janela j;
        QSqlQuery(BancoDeDados()).exec(QStringLiteral("Drop Table Usuarios"));
        j.Abre();
        QCOMPARE(j.operador.caixas.size(), 1);
        QVERIFY(j.operador.caixas[0].texto.contains(QStringLiteral("cadastro de usuários")));
        QCOMPARE(j.lista->count(), 0);
        QCOMPARE(j.operador.ampulhetaNivel, 0);
    }
};

QTEST_MAIN(tst_frmMontaMsg)
#include "tst_frmMontaMsg.moc"
