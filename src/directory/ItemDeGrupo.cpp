#include "directory/ItemDeGrupo.h"

QString TextoDoItemDeGrupo(qint32 idGrupo, const QString& nome) {
    return QStringLiteral("%1 - ").arg(idGrupo, 5, 10, QLatin1Char('0')) + nome;
}
