#include "directory/ModeloDeGruposParaMarcar.h"

#include "directory/ItemDeGrupo.h"

void ModeloDeGruposParaMarcar::Substitui(QVector<GrupoParaMarcar> grupos) {
    beginResetModel();
    m_grupos = std::move(grupos);
    endResetModel();
}

QVector<qint32> ModeloDeGruposParaMarcar::Marcados() const {
    QVector<qint32> marcados;
    for (const GrupoParaMarcar& grupo : m_grupos)
        if (grupo.marcado)
            marcados.append(grupo.id);
    return marcados;
}

int ModeloDeGruposParaMarcar::rowCount(const QModelIndex& pai) const {
    return pai.isValid() ? 0 : int(m_grupos.size());
}

QVariant ModeloDeGruposParaMarcar::data(const QModelIndex& indice, int papel) const {
    if (!checkIndex(indice, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const GrupoParaMarcar& grupo = m_grupos[indice.row()];
    switch (papel) {
    case Qt::DisplayRole:
        return TextoDoItemDeGrupo(grupo.id, grupo.nome);
    case Qt::CheckStateRole:
        return grupo.marcado ? Qt::Checked : Qt::Unchecked;
    case Qt::UserRole:
        return grupo.id;
    default:
        return {};
    }
}

bool ModeloDeGruposParaMarcar::setData(const QModelIndex& indice, const QVariant& valor, int papel) {
    if (papel != Qt::CheckStateRole ||
        !checkIndex(indice, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    m_grupos[indice.row()].marcado = valor.toInt() == Qt::Checked;
    emit dataChanged(indice, indice, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags ModeloDeGruposParaMarcar::flags(const QModelIndex& indice) const {
    if (!indice.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}
