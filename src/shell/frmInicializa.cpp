#include "shell/frmInicializa.h"

#include "common/Modulo.h"
#include "common/Relogio.h"
#include "ui/frmFigura.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

frmInicializa::frmInicializa(Relogio& relogio)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_relogio(relogio) {
    setObjectName(QStringLiteral("frmInicializa"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setStyleSheet(QStringLiteral("frmInicializa { background: #f4f6f9; border: 1px solid #1f3a5f; }"));
    auto* layout = new QVBoxLayout(this);
    auto* imgLogo = new QLabel(this);
    imgLogo->setPixmap(FiguraSvg(QStringLiteral(":/ui/imagens/logo.svg"), QSize(360, 144)));
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setFixedSize(360, 144);
    layout->addWidget(imgLogo, 0, Qt::AlignCenter);
    auto* pnlVersao =
        new QLabel(Modulo::NomeDoPrograma + QStringLiteral(" ") + Modulo::VersaoDoPrograma, this);
    pnlVersao->setObjectName(QStringLiteral("pnlVersao"));
    pnlVersao->setAlignment(Qt::AlignCenter);
    layout->addWidget(pnlVersao);
    adjustSize();
}

void frmInicializa::Form_Load() {
    if (const QScreen* tela = QGuiApplication::primaryScreen())
        move(tela->availableGeometry().center() - rect().center());
    show();
    raise();
    m_relogio.Pausa(1);
}
