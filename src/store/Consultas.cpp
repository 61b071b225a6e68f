#include "store/Consultas.h"

#include "store/BancoDeDados.h"
#include "store/Snapshot.h"

#include <QSqlError>
#include <QSqlQuery>

bool GravaLog(const QString& data, const QString& hora, const QString& usuario, const QString& mensagem,
              const QString& idPager, qint32 idUsuario, bool recusada, const QString& motivo,
              const QString& origem, QString* erro) {
    QSqlQuery* comando = ComandoGuardado(Consultas::InsereLog);
    if (!comando)
        return Executa(Consultas::InsereLog, {}, erro); // says why
    const QVariantList valores = {data,
                                  hora,
                                  usuario,
                                  mensagem,
                                  idPager,
                                  idUsuario,
                                  recusada ? QStringLiteral("recusada") : QStringLiteral("entregue"),
                                  motivo,
                                  origem};
    for (int i = 0; i < valores.size(); ++i) // a null text is stored empty, as Executa does
        comando->bindValue(i, valores[i].typeId() == QMetaType::QString && valores[i].toString().isNull()
                                  ? QVariant(QStringLiteral(""))
                                  : valores[i]);
    const bool ok = comando->exec();
    const QSqlError falha = comando->lastError();
    comando->finish(); // before anything that may find the connection lost and drop the statements
    if (!ok && erro)
        *erro = TextoDoErro(falha);
    return ok;
}

QString DescreveSituacao(const QString& situacao, const QString& motivo) {
    if (situacao != QLatin1String("recusada"))
        return QStringLiteral("entregue");
    return motivo.isEmpty() ? QStringLiteral("recusada pela central")
                            : QStringLiteral("recusada pela central: ") + motivo;
}
