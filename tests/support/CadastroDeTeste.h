#pragma once
// Rows of the directory for tests, on the shared open database.
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVector>

// The new user's ID_Usuario, or 0 when the insert failed.
qint32 CadastraUsuario(const QString& nome, const QString& pager);
// The new group's ID_Grupo with the given members, or 0 when the insert failed.
qint32 CadastraGrupo(const QString& nome, const QVector<qint32>& membros = {});
// One column of every row a query selects, as text.
QStringList Coluna(const QString& sql, const QString& coluna = QStringLiteral("L"),
                   const QVariantList& valores = {});
