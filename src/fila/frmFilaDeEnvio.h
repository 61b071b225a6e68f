#pragma once
// The queue of pages for bipvox-servidor as the operator sees it: what waits, what is in a call,
// what failed or is uncertain, with the reason and the next attempt. Read again while open (a
// 2-second timer that looks at SQLite's commit counter, so the queue is read only when another
// program wrote it); a waiting or uncertain page can be cancelled.
#include "common/Operador.h"

#include <QDialog>

class ModeloDaFila;
class QLabel;
class QTableView;
class QTimer;

class frmFilaDeEnvio : public QDialog {
    Q_OBJECT
public:
    explicit frmFilaDeEnvio(Operador& operador, QWidget* pai = nullptr);

    QTableView* Grade() const { return m_grdFila; }

public slots:
    void cmdCancelarPagina_Click();
    void cmdRetornar_Click();
    void tmpAtualiza_Timer();

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    // Reads the queue and keeps the selected page selected.
    void Preenche(bool sempre);

    Operador& m_operador;
    ModeloDaFila* m_modelo = nullptr;
    QTableView* m_grdFila = nullptr;
    QLabel* m_pnlResumo = nullptr;
    QTimer* m_tmpAtualiza = nullptr;
    QString m_erroMostrado;
};
