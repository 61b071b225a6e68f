#pragma once
// The Arquivo menu's CSV commands: export one table to a file the person names, and import
// files after showing what the import would do.
#include "common/Operador.h"
#include "directory/Planilhas.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateEdit;

// The history's period and user, asked before exporting it.
class frmExportaHistorico : public QDialog {
    Q_OBJECT
public:
    explicit frmExportaHistorico(QWidget* pai = nullptr);
    FiltroDoHistorico Filtro() const;

private:
    QCheckBox* m_chkDe;
    QCheckBox* m_chkAte;
    QDateEdit* m_txtDe;
    QDateEdit* m_txtAte;
    QComboBox* m_cmbUsuario;
    QVector<qint32> m_ids;
};

void ExportaParaCsv(QWidget* pai, Operador& operador, Planilha planilha);
void ImportaDeCsv(QWidget* pai, Operador& operador);
