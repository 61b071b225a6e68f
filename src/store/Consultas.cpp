#include "store/Consultas.h"

#include "store/Snapshot.h"

bool GravaLog(const QString& data, const QString& hora, const QString& usuario, const QString& mensagem,
              const QString& idPager, qint32 idUsuario, QString* erro) {
    return Executa(Consultas::InsereLog, {data, hora, usuario, mensagem, idPager, idUsuario}, erro);
}
