// At 200% scaling on a 1280x1024 screen the windows still fit and the pictures are sharp.
#include "BancadaVirtual.h"
#include "shell/frmInicializa.h"
#include "shell/frmPrincipal.h"

#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>
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
    // The offscreen platform with one 1280x1024 screen at twice the pixel density (its size in
    // logical pixels).
    QTemporaryDir pasta;
    const QString configuracao = pasta.filePath(QStringLiteral("tela.json"));
    QFile arquivo(configuracao);
    if (!arquivo.open(QIODevice::WriteOnly))
        return 1;
    arquivo.write(R"({"screens": [{"name": "tela", "x": 0, "y": 0, "width": 640, "height": 512,
                      "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 2}]})");
    arquivo.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + configuracao.toLocal8Bit());
    QApplication app(argc, argv);
    tst_Escala200 teste;
    return QTest::qExec(&teste, argc, argv);
}

#include "tst_Escala200.moc"
