#include "modem/TravaDaPorta.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The folder named by BIPVOX_TRAVAS (tests, or a site that keeps its locks elsewhere); else the
// usual system lock directory, so that programs of every user see one another.
QString DiretorioDasTravas() {
    const QString pedido = qEnvironmentVariable("BIPVOX_TRAVAS");
    if (!pedido.isEmpty()) {
        QDir().mkpath(pedido);
        return QDir(pedido).absolutePath();
    }
    for (const QString& candidato : {QStringLiteral("/run/lock"), QStringLiteral("/var/lock")}) {
        const QFileInfo info(candidato);
        if (info.isDir() && info.isWritable())
            return candidato;
    }
    return QDir::tempPath();
}

QString CaminhoReal(const QString& dispositivo) {
    const QFileInfo info(dispositivo);
    const QString real = info.canonicalFilePath();
    return real.isEmpty() ? info.absoluteFilePath() : real;
}

} // namespace

QString ArquivoDaTrava(const QString& dispositivo) {
    QString nome = CaminhoReal(dispositivo);
    nome.replace(QLatin1Char('/'), QLatin1Char('_'));
    return DiretorioDasTravas() + QStringLiteral("/bipvox-porta") + nome + QStringLiteral(".lck");
}

bool TravaDaPorta::Obtem(const QString& dispositivo) {
    m_ocupada = false;
    m_motivo.clear();
    const QString chave = ArquivoDaTrava(dispositivo);
    if (m_trava && m_chave == chave)
        return true;
    Libera();
    auto trava = std::make_unique<QLockFile>(chave);
    // The holder may keep the modem for days; only a dead holder's lock is stale.
    trava->setStaleLockTime(0);
    if (trava->tryLock(0)) {
        m_trava = std::move(trava);
        m_chave = chave;
        return true;
    }
    if (trava->error() == QLockFile::LockFailedError) {
        qint64 pid = 0;
        QString maquina;
        QString programa;
        trava->getLockInfo(&pid, &maquina, &programa);
        m_ocupada = true;
        m_motivo = QStringLiteral("em uso por outro programa do Bipvox (%1, processo %2)")
                       .arg(programa.isEmpty() ? QStringLiteral("?") : programa)
                       .arg(pid);
    } else {
        m_motivo = QStringLiteral("não foi possível criar a trava da porta em %1").arg(chave);
    }
    return false;
}

void TravaDaPorta::Libera() {
    m_trava.reset(); // QLockFile removes its file when destroyed
    m_chave.clear();
}
