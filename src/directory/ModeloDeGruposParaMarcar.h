#pragma once
// The user dialog's group list: each group's text, its identifier and whether it is marked, in
// one array, so tens of thousands of groups cost about what their names do (a list of item
// objects took five times as much).
#include "directory/CadastroDeUsuarios.h"

#include <QAbstractListModel>

class ModeloDeGruposParaMarcar : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void Substitui(QVector<GrupoParaMarcar> grupos);
    QVector<qint32> Marcados() const;

    int rowCount(const QModelIndex& pai = QModelIndex()) const override;
    // The text as TextoDoItemDeGrupo writes it; Qt::UserRole is the identifier.
    QVariant data(const QModelIndex& indice, int papel = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& indice, const QVariant& valor, int papel = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;

private:
    QVector<GrupoParaMarcar> m_grupos;
};
