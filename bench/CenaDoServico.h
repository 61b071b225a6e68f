#pragma once
// Where the queue service's benchmarks start: a private folder (settings, locks, an empty
// Pager.Mdb) and bipvox-simulador on a pseudo-terminal that the settings name as the modem.
#include "settings/PerfilINI.h"
#include "store/Esquema.h"

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

struct CenaDoServico {
    QTemporaryDir pasta;
    QString banco = pasta.filePath(QStringLiteral("Pager.Mdb"));
    QString transcricao = pasta.filePath(QStringLiteral("transcricao.jsonl"));
    QProcess simulador; // stopped before the folder goes

    bool Prepara(const QStringList& opcoesDoSimulador) {
        qputenv("XDG_CONFIG_HOME", pasta.path().toLocal8Bit());
        qputenv("BIPVOX_TRAVAS", (pasta.path() + QStringLiteral("/travas")).toLocal8Bit());
        if (!CriaBancoVazio(banco))
            return false;
        simulador.start(QStringLiteral(BIPVOX_SIMULADOR),
                        opcoesDoSimulador + QStringList{"--transcricao=" + transcricao});
        if (!simulador.waitForStarted() || !simulador.waitForReadyRead(5000))
            return false;
        GravaINI(QStringLiteral("MODEM"), QStringLiteral("Porta Serial"), QStringLiteral("1"));
        GravaINI(QStringLiteral("MODEM"), QStringLiteral("COM1"),
                 QString::fromLocal8Bit(simulador.readLine()).trimmed());
        return true;
    }
};
