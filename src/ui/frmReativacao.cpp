#include "ui/frmReativacao.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

bool ReativacaoDeJanelas::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() != QEvent::Hide || !objeto->isWidgetType())
        return false;
    const auto* janela = static_cast<QWidget*>(objeto);
    if (!janela->isWindow() || !janela->isModal() || !janela->parentWidget())
        return false;
    const QPointer<QWidget> abaixo = janela->parentWidget()->window();
    // Later, once the closing window is gone and a window manager (if any) has had its say.
    QTimer::singleShot(0, this, [abaixo] {
        QWidget* alvo = QApplication::activeModalWidget();
        if (!alvo)
            alvo = abaixo;
        if (alvo && alvo->isVisible() && !QApplication::activeWindow())
            alvo->activateWindow();
    });
    return false;
}
