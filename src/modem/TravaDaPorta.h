#pragma once
// Keeps two Bipvox programs (the window program, bipvox-enviar) off one modem: a lock file per
// device, named after the device's real path, so a link and its target share one lock.
//
// The lock is the kernel's (flock) on that file, not the file's existence: it lasts exactly as
// long as its holder lives, however long that is, and ends by itself when the holder dies. So
// whatever a dead holder left at the path (its file, of any user, an empty or garbled one) is
// simply taken; a link or a folder there is cleared away, never followed. The file stays after
// release, empty, writable by every user, so any Bipvox user can take it next.
#include <QString>

class TravaDaPorta {
public:
    TravaDaPorta() = default;
    TravaDaPorta(const TravaDaPorta&) = delete;
    TravaDaPorta& operator=(const TravaDaPorta&) = delete;
    ~TravaDaPorta() { Libera(); }

    // True when this object holds the device's lock afterwards (holding it already counts).
    // Taking another device's lock releases the one held.
    bool Obtem(const QString& dispositivo);
    void Libera();

    // The last Obtem failed because another running program holds the device.
    bool Ocupada() const { return m_ocupada; }
    // Why the last Obtem failed, in Portuguese.
    QString Motivo() const { return m_motivo; }

private:
    int m_arquivo = -1;
    bool m_escrito = false; // the file holds our name and can be emptied on release
    QString m_chave;
    bool m_ocupada = false;
    QString m_motivo;
};

// The folder of the lock files, shared by every Bipvox program of every user: BIPVOX_TRAVAS, else
// /run/lock (or /var/lock, or the temporary folder).
QString PastaDasTravas();
// The lock file of a device (exposed for diagnostics and tests), in that folder.
QString ArquivoDaTrava(const QString& dispositivo);
