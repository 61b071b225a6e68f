#include "store/Consultas.h"

#include "store/Snapshot.h"

bool GravaLog(const QString& data, const QString& hora, const QString& usuario, const QString& mensagem,
              const QString& idPager, qint32 idUsuario, bool recusada, const QString& motivo, QString* erro) {
    return Executa(Consultas::InsereLog,
                   {data, hora, usuario, mensagem, idPager, idUsuario,
                    recusada ? QStringLiteral("recusada") : QStringLiteral("entregue"), motivo},
                   erro);
}

QString DescreveSituacao(const QString& situacao, const QString& motivo) {
    if (situacao != QLatin1String("recusada"))
        return QStringLiteral("entregue");
    return motivo.isEmpty() ? QStringLiteral("recusada pela central")
                            : QStringLiteral("recusada pela central: ") + motivo;
}
