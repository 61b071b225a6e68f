#include "SimuladorExterno.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>

#include <csignal>

SimuladorExterno::~SimuladorExterno() {
    if (Rodando())
        Para();
}

bool SimuladorExterno::Inicia(const QStringList& opcoes, QString* erro) {
    auto falha = [&](const QString& texto) {
        if (erro)
            *erro = texto;
        return false;
    };
    const QString programa = qEnvironmentVariable("BIPVOX_SIMULADOR");
    if (programa.isEmpty())
        return falha(QStringLiteral("BIPVOX_SIMULADOR não está definida"));
    if (!m_diretorio.isValid())
        return falha(QStringLiteral("sem diretório temporário"));
    m_processo.setProgram(programa);
    m_processo.setArguments(opcoes + QStringList{QStringLiteral("--transcricao=") + CaminhoTranscricao()});
    m_processo.start();
    if (!m_processo.waitForStarted(5000))
        return falha(QStringLiteral("não iniciou: ") + m_processo.errorString());
    const QDeadlineTimer prazo(5000);
    while (!m_processo.canReadLine() && !prazo.hasExpired() && Rodando())
        m_processo.waitForReadyRead(int(qMax<qint64>(1, prazo.remainingTime())));
    if (!m_processo.canReadLine())
        return falha(QStringLiteral("não informou o dispositivo: ") +
                     QString::fromLocal8Bit(m_processo.readAllStandardError()));
    m_dispositivo = QString::fromLocal8Bit(m_processo.readLine()).trimmed();
    return true;
}

QList<QJsonObject> SimuladorExterno::Registros(const QString& tipo) const {
    QList<QJsonObject> registros;
    QFile arquivo(CaminhoTranscricao());
    if (!arquivo.open(QIODevice::ReadOnly))
        return registros;
    while (!arquivo.atEnd()) {
        const QJsonObject r = QJsonDocument::fromJson(arquivo.readLine()).object();
        if (!r.isEmpty() && (tipo.isEmpty() || r.value(QStringLiteral("tipo")).toString() == tipo))
            registros.append(r);
    }
    return registros;
}

QByteArray SimuladorExterno::Dados(const QString& sentido) const {
    QByteArray bytes;
    for (const QJsonObject& r : Registros(QStringLiteral("dados")))
        if (r.value(QStringLiteral("sentido")).toString() == sentido)
            bytes += QByteArray::fromHex(r.value(QStringLiteral("hex")).toString().toLatin1());
    return bytes;
}

int SimuladorExterno::Para(int sinal) {
    if (Rodando()) {
        ::kill(pid_t(m_processo.processId()), sinal);
        if (!m_processo.waitForFinished(5000)) {
            m_processo.kill();
            m_processo.waitForFinished(5000);
            return -1;
        }
    }
    return m_processo.exitStatus() == QProcess::NormalExit ? m_processo.exitCode() : -1;
}
