#pragma once
// A window of the main window's document area with the history of sent messages in a grid.
#include "common/Operador.h"

#include <QWidget>

class ModeloDoHistorico;
class QDialog;
class QMdiArea;
class QTableView;

// Opens a new history window: mode 0 every message (texto empty), mode 1 those of the user
// whose identifier texto holds. No window and no message box when there is nothing to show (for
// one user the status line says so); true when a window opened. A null area opens it as a window
// of its own.
bool ExibeHistorico(QMdiArea* area, Operador& operador, const QString& texto, qint16 modo);
// The same asked from a modal window, which would block a window of the area: the history opens
// in front of it as a window of its own and takes input while the modal window stays open; when
// that one closes, the history moves into the area (or stays a window of its own without one).
// Escape closes it while it is a window of its own.
bool ExibeHistorico(QDialog* modal, QMdiArea* area, Operador& operador, const QString& texto, qint16 modo);

class frmHistorico : public QWidget {
    Q_OBJECT
public:
    // Takes the model over.
    frmHistorico(Operador& operador, ModeloDoHistorico* modelo, QWidget* pai = nullptr);

    QTableView* Grade() const { return m_grdGride; }

public slots:
    // The current cell becomes the message "=ANTERIOR" recalls, and is shown whole.
    void grdGride_DblClick();

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    Operador& m_operador;
    QTableView* m_grdGride = nullptr;
};
