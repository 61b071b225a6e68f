// At 200% scaling on a small screen the main window still fits and the pictures are sharp (the
// history's column widths are logical pixels like everything else: tests/history checks them).
#include "BancadaVirtual.h"
#include "shell/frmInicializa.h"
#include "shell/frmPrincipal.h"

#include <QLabel>
#include <QScreen>
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
