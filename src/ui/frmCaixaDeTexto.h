#pragma once
// A multi-line text box with the length limit of the program's text boxes: what is typed,
// pasted or dropped stops at the limit. Its window may change each typed character before it
// goes in; pasted and dropped text goes in as it is.
#include <QPlainTextEdit>
#include <functional>

class frmCaixaDeTexto : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit frmCaixaDeTexto(QWidget* pai = nullptr);

    // 0: no limit.
    void setMaxLength(int maximo) { m_maximo = maximo; }
    int maxLength() const { return m_maximo; }

    // Called with each typed character (keys and input methods); may replace it.
    std::function<void(QChar&)> aoDigitar;

protected:
    void keyPressEvent(QKeyEvent* evento) override;
    void inputMethodEvent(QInputMethodEvent* evento) override;
    void insertFromMimeData(const QMimeData* origem) override;

private:
    // Characters that still fit, the selection counting as replaced.
    int Espaco() const;
    // Filters and cuts typed text; false when it changed.
    bool AjustaDigitado(QString& texto) const;

    int m_maximo = 0;
};
