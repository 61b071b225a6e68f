#pragma once
// Keeps two Bipvox programs (the window program, bipvox-enviar) off one modem: a lock file per
// device, named after the device's real path, so a link and its target share one lock. A lock
// left behind by a process that died is taken over.
#include <QLockFile>
#include <QString>
#include <memory>

class TravaDaPorta {
public:
    // True when this object holds the device's lock afterwards (holding it already counts).
    // Taking another device's lock releases the one held.
    bool Obtem(const QString& dispositivo);
    void Libera();

    // The last Obtem failed because another running program holds the device.
    bool Ocupada() const { return m_ocupada; }
    // Why the last Obtem failed, in Portuguese.
    QString Motivo() const { return m_motivo; }

private:
    std::unique_ptr<QLockFile> m_trava;
    QString m_chave;
    bool m_ocupada = false;
    QString m_motivo;
};

// The lock file of a device (exposed for diagnostics and tests).
QString ArquivoDaTrava(const QString& dispositivo);
