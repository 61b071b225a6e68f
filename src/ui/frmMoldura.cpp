#include "ui/frmMoldura.h"

#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QWidget>
#include <algorithm>

void TornaSemMoldura(QWidget* janela) {
    janela->setWindowFlag(Qt::FramelessWindowHint, true);
    if (auto* quadro = qobject_cast<QFrame*>(janela))
        quadro->setFrameShape(QFrame::Box);
    janela->setStyleSheet(janela->styleSheet() +
                          QStringLiteral("#%1 { border: 2px outset #8a97a8; }").arg(janela->objectName()));
}

QLabel* CriaPainelDeTitulo(QWidget* janela, const QString& titulo, const QString& nome) {
    auto* painel = new QLabel(titulo, janela);
    painel->setObjectName(nome);
    painel->setFrameShape(QFrame::Panel);
    painel->setFrameShadow(QFrame::Raised);
    painel->setAlignment(Qt::AlignCenter);
    painel->setMinimumHeight(32);
    QFont fonte(QStringLiteral("Times New Roman"), 14, QFont::Bold);
    fonte.setStyleHint(QFont::Serif);
    painel->setFont(fonte);
    janela->setWindowTitle(titulo);
    return painel;
}

QLabel* CriaPainelDeTexto(QWidget* pai, const QString& texto, const QString& nome) {
    auto* painel = new QLabel(texto, pai);
    painel->setObjectName(nome);
    painel->setFrameShape(QFrame::Panel);
    painel->setFrameShadow(QFrame::Sunken);
    painel->setWordWrap(true);
    return painel;
}

void CentralizaSobre(QWidget* janela, const QWidget* sobre) {
    janela->adjustSize();
    QRect area;
    if (sobre && sobre->isVisible())
        area = QRect(sobre->mapToGlobal(QPoint(0, 0)), sobre->size());
    else if (const QScreen* tela = QGuiApplication::primaryScreen())
        area = tela->availableGeometry();
    if (area.isValid())
        janela->move(area.center() - janela->rect().center());
    CabeNaTela(janela);
}

void CabeNaTela(QWidget* janela) {
    const QScreen* tela = janela->screen() ? janela->screen() : QGuiApplication::primaryScreen();
    if (!tela)
        return;
    const QRect disponivel = tela->availableGeometry();
    // The frame the window manager adds around a framed window.
    QSize moldura = janela->frameGeometry().size() - janela->size();
    if (moldura.isEmpty() && !janela->windowFlags().testFlag(Qt::FramelessWindowHint))
        moldura = QSize(8, 40); // not shown yet: leave room for a usual title bar

    const QSize cabe = disponivel.size() - moldura;
    janela->resize(janela->size().boundedTo(cabe).expandedTo(janela->minimumSizeHint().boundedTo(cabe)));
    QRect r = janela->frameGeometry();
    r.moveRight(std::min(r.right(), disponivel.right()));
    r.moveBottom(std::min(r.bottom(), disponivel.bottom()));
    r.moveLeft(std::max(r.left(), disponivel.left()));
    r.moveTop(std::max(r.top(), disponivel.top()));
    janela->move(r.topLeft());
}

QFrame* CriaPainelDeFundo(QWidget* pai) {
    auto* painel = new QFrame(pai);
    painel->setObjectName(QStringLiteral("pnlFundo"));
    painel->setFrameShape(QFrame::Panel);
    painel->setFrameShadow(QFrame::Raised);
    return painel;
}
