#include "store/ComandosUsuarios.h"

#include "store/BancoDeDados.h"

#include <QSqlError>
#include <QSqlQuery>

qint32 InsereComContador(const QString& sql, const QVariantList& parametros, QString* erro) {
    if (!BancoDeDadosAberto()) {
        if (erro)
            *erro = MotivoSemBanco();
        return 0;
    }
    QSqlQuery comando(BancoDeDados());
    bool ok = comando.prepare(sql);
    for (const QVariant& valor : parametros)
        comando.addBindValue(valor.typeId() == QMetaType::QString && valor.toString().isNull()
                                 ? QVariant(QString(QLatin1String("")))
                                 : valor);
    ok = ok && comando.exec();
    const qint32 id = ok ? comando.lastInsertId().toInt() : 0;
    if (id == 0 && erro)
        *erro = ok ? QStringLiteral("O novo registro não recebeu identificador.")
                   : TextoDoErro(comando.lastError());
    return id;
}
