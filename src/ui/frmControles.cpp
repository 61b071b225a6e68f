#include "ui/frmControles.h"

#include "ui/frmFigura.h"
#include "ui/frmMoldura.h"

#include <QLabel>
#include <QToolButton>

QToolButton* CriaBotaoDeFigura(QWidget* pai, const QString& nome, const QString& figura,
                               const QString& dica) {
    auto* botao = new QToolButton(pai);
    botao->setObjectName(nome);
    botao->setIcon(IconeSvg(figura, QSize(32, 32)));
    botao->setIconSize(QSize(32, 32));
    botao->setToolTip(dica);
    botao->setAccessibleName(dica);
    botao->setFocusPolicy(Qt::StrongFocus);
    return botao;
}

QLabel* CriaRotulo(QWidget* pai, const QString& texto, const QString& nome, QWidget* controle) {
    QLabel* rotulo = CriaPainelDeTexto(pai, texto, nome);
    rotulo->setBuddy(controle);
    QString acessivel = texto.trimmed();
    acessivel.remove(QLatin1Char('&'));
    if (acessivel.endsWith(QLatin1Char(':')))
        acessivel.chop(1);
    if (qobject_cast<QLabel*>(controle))
        // A panel that shows data is read by its text, which changes; the caption says what it is.
        controle->setAccessibleDescription(acessivel);
    else
        controle->setAccessibleName(acessivel);
    return rotulo;
}

int TwipsParaPixels(const QWidget* janela, int twips) {
    return twips * janela->logicalDpiX() / 1440;
}
