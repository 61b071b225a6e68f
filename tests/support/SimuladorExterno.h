#pragma once
// Runs the built bipvox-simulador (path in BIPVOX_SIMULADOR) for an end-to-end test: starts it
// with scenario switches, gives the pseudo-terminal to open as the modem port, reads back its
// transcript, and stops it when the test is done.
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class SimuladorExterno {
public:
    ~SimuladorExterno();

    // Adds --transcricao in a private directory; false, with the reason in erro, when the
    // simulator cannot be found or does not print its device.
    bool Inicia(const QStringList& opcoes, QString* erro = nullptr);

    QString Dispositivo() const { return m_dispositivo; }
    // The transcript's records of one kind ("dados", "evento", "pagina"), or all of them.
    QList<QJsonObject> Registros(const QString& tipo = QString()) const;
    QList<QJsonObject> Paginas() const { return Registros(QStringLiteral("pagina")); }
    // The bytes of the line in one direction: "recebido" (from the program) or "enviado".
    QByteArray Dados(const QString& sentido) const;

    bool Rodando() const { return m_processo.state() != QProcess::NotRunning; }
    // Sends the signal and waits; the exit status, or -1 when it crashed or would not stop.
    int Para(int sinal = 15);

private:
    QString CaminhoTranscricao() const { return m_diretorio.filePath(QStringLiteral("transcricao.jsonl")); }
    QTemporaryDir m_diretorio;
    QProcess m_processo;
    QString m_dispositivo;
};
