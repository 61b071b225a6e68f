#include "ui/frmMensagem.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

Resposta MostraMensagem(QWidget* pai, const QString& texto, const QString& titulo, Icone icone,
                        Botoes botoes) {
    QMessageBox caixa(pai);
    caixa.setObjectName(QStringLiteral("caixaDeMensagem"));
    caixa.setWindowTitle(titulo);
    caixa.setText(texto);
    caixa.setTextFormat(Qt::PlainText);
    switch (icone) {
    case Icone::Critico:
        caixa.setIcon(QMessageBox::Critical);
        break;
    case Icone::Informacao:
        caixa.setIcon(QMessageBox::Information);
        break;
    case Icone::Pergunta:
        caixa.setIcon(QMessageBox::Question);
        break;
    case Icone::Nenhum:
        caixa.setIcon(QMessageBox::NoIcon);
        break;
    }
    // The button texts are set here, not left to the translation, so they read the same
    // whatever the system language.
    if (botoes == Botoes::SimNao) {
        caixa.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        caixa.button(QMessageBox::Yes)->setText(QStringLiteral("Sim"));
        caixa.button(QMessageBox::No)->setText(QStringLiteral("Não"));
        caixa.setDefaultButton(QMessageBox::Yes);
    } else {
        caixa.setStandardButtons(QMessageBox::Ok);
        caixa.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    }
    // The hourglass may be on around the modem work that led here; the person must see a pointer.
    const bool ampulheta = QApplication::overrideCursor() != nullptr;
    if (ampulheta)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int escolha = caixa.exec();
    if (ampulheta)
        QApplication::restoreOverrideCursor();
    if (botoes == Botoes::SimNao)
        return escolha == QMessageBox::Yes ? Resposta::Sim : Resposta::Nao;
    return Resposta::OK;
}
