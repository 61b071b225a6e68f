#include "ui/frmCaixaDeTexto.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>
#include <limits>

frmCaixaDeTexto::frmCaixaDeTexto(QWidget* pai) : QPlainTextEdit(pai) {}

int frmCaixaDeTexto::Espaco() const {
    if (m_maximo <= 0)
        return std::numeric_limits<int>::max();
    const int usados = int(toPlainText().size() - textCursor().selectedText().size());
    return m_maximo - usados;
}

bool frmCaixaDeTexto::AjustaDigitado(QString& texto) const {
    const QString original = texto;
    if (aoDigitar)
        for (QChar& c : texto)
            aoDigitar(c);
    const int espaco = Espaco();
    if (texto.size() > espaco)
        texto.truncate(std::max(espaco, 0));
    return texto != original;
}

void frmCaixaDeTexto::keyPressEvent(QKeyEvent* evento) {
    if (isReadOnly()) {
        QPlainTextEdit::keyPressEvent(evento);
        return;
    }
    const bool quebraDeLinha = evento->key() == Qt::Key_Return || evento->key() == Qt::Key_Enter;
    if (quebraDeLinha) {
        // A line break is one character of the message.
        if (Espaco() < 1)
            evento->accept();
        else
            QPlainTextEdit::keyPressEvent(evento);
        return;
    }
    QString texto = evento->text();
    if (texto.isEmpty() || !texto.at(0).isPrint()) {
        QPlainTextEdit::keyPressEvent(evento);
        return;
    }
    if (!AjustaDigitado(texto)) {
        QPlainTextEdit::keyPressEvent(evento);
        return;
    }
    if (texto.isEmpty()) {
        evento->accept(); // full: the key is refused
        return;
    }
    QKeyEvent trocado(evento->type(), evento->key(), evento->modifiers(), texto, evento->isAutoRepeat(),
                      quint16(evento->count()));
    QPlainTextEdit::keyPressEvent(&trocado);
    evento->setAccepted(trocado.isAccepted());
}

void frmCaixaDeTexto::inputMethodEvent(QInputMethodEvent* evento) {
    QString texto = evento->commitString();
    if (isReadOnly() || texto.isEmpty() || !AjustaDigitado(texto)) {
        QPlainTextEdit::inputMethodEvent(evento);
        return;
    }
    QInputMethodEvent trocado(evento->preeditString(), evento->attributes());
    trocado.setCommitString(texto, evento->replacementStart(), evento->replacementLength());
    QPlainTextEdit::inputMethodEvent(&trocado);
    evento->setAccepted(trocado.isAccepted());
}

void frmCaixaDeTexto::insertFromMimeData(const QMimeData* origem) {
    if (!origem || !origem->hasText() || m_maximo <= 0) {
        QPlainTextEdit::insertFromMimeData(origem);
        return;
    }
    // A break from another system's clipboard is one line break, as typed here.
    QString texto = origem->text();
    texto.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    texto.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const int espaco = Espaco();
    if (texto.size() > espaco)
        texto.truncate(std::max(espaco, 0));
    if (texto.isEmpty())
        return;
    insertPlainText(texto);
    ensureCursorVisible();
}
