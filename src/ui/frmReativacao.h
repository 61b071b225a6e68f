#pragma once
// Without a window manager nobody hands the keyboard back when a dialog or message box closes,
// and the operator's next keys would go nowhere. This filter, installed on the application,
// makes the window below a closed modal window active again when no window is active.
#include <QObject>

class ReativacaoDeJanelas : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
};
