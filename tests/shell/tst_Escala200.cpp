// At 200% scaling on a small screen the main window still fits, the pictures are sharp and the
// history's columns show their contents whole.
#include "BancadaVirtual.h"
#include "GradeDeTeste.h"
#include "history/frmHistorico.h"
#include "shell/frmInicializa.h"
#include "shell/frmPrincipal.h"
#include "store/Consultas.h"

#include <QLabel>
#include <QMdiArea>
#include <QScreen>
#include <QTableView>
#include <QtTest>

class tst_Escala200 : public QObject {
    Q_OBJECT

private slots:
    void janelasCabemEFigurasNitidas() {
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
        const QRect tela = QGuiApplication::primaryScreen()->availableGeometry();
        BancadaVirtual b;
        frmPrincipal principal(&b.modem, &b.relogio);
        // Sized before it is shown, title bar included, as a window manager places it.
        QVERIFY(principal.width() <= tela.width() && principal.height() + 30 <= tela.height());
        frmInicializa splash(b.relogio);
        QCOMPARE(splash.findChild<QLabel*>("imgLogo")->pixmap().devicePixelRatio(), 2.0);
        // The history shows a full date and a 10-character code whole.
        QVERIFY(b.ambiente.AbreBancoVazio());
        QVERIFY(GravaLog("20261231", "23:59", "Ana", "oi", "2345678901", 1));
        QMdiArea area;
        QVERIFY(ExibeHistorico(&area, b.operador, QString(), 0));
        QCOMPARE(TextosCortados(area.findChild<QTableView*>("grdGride"), 0), QStringList());
    }
};

int main(int argc, char** argv) {
    // The offscreen platform's 800x600 screen at twice the pixel density: 400x300 logical pixels,
    // smaller still than a 1280x1024 screen at 200%.
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    tst_Escala200 teste;
    return QTest::qExec(&teste, argc, argv);
}

#include "tst_Escala200.moc"
