#include "ui/frmMensagem.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>

namespace {
// A box that can be left only by one of its buttons when it asks a question.
class CaixaDeMensagem : public QMessageBox {
public:
    CaixaDeMensagem(QWidget* pai, bool pergunta) : QMessageBox(pai), m_pergunta(pergunta) {
        if (pergunta)
            setWindowFlag(Qt::WindowCloseButtonHint, false);
    }

protected:
    void keyPressEvent(QKeyEvent* evento) override {
        if (m_pergunta && evento->matches(QKeySequence::Cancel))
            return;
        QMessageBox::keyPressEvent(evento);
    }
    void closeEvent(QCloseEvent* evento) override {
        if (m_pergunta) {
            evento->ignore();
            return;
        }
        QMessageBox::closeEvent(evento);
    }

private:
    bool m_pergunta;
};
} // namespace

QString QuebrasDeLinha(const QString& texto) {
    QString comLF = texto;
    comLF.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    comLF.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return comLF;
}

Resposta MostraMensagem(QWidget* pai, const QString& texto, const QString& titulo, Icone icone,
                        Botoes botoes) {
    CaixaDeMensagem caixa(pai, botoes == Botoes::SimNao);
    caixa.setObjectName(QStringLiteral("caixaDeMensagem"));
    caixa.setWindowTitle(titulo);
    caixa.setText(QuebrasDeLinha(texto));
    caixa.setTextFormat(Qt::PlainText);
    // The box itself is read with its text, not only its title.
    caixa.setAccessibleDescription(QuebrasDeLinha(texto));
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
