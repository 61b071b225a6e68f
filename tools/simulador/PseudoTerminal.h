#pragma once
// The simulator's end of the serial line: a pseudo-terminal whose slave side the program opens
// as its modem port, optionally reachable through a symbolic link.
#include <QByteArray>
#include <QString>

class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal(); // closes both sides and removes the link
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // false, with the reason in erro, when the pseudo-terminal cannot be made.
    bool Abre(QString* erro);
    // Points caminho at the device; replaces a symbolic link but never a regular file.
    bool CriaLink(const QString& caminho, QString* erro);
    void RemoveLink();

    QString Dispositivo() const { return m_dispositivo; }
    QString Link() const { return m_link; }
    int Mestre() const { return m_mestre; }

    // Never block: Le returns what is waiting (possibly nothing), Escreve how much the line took.
    // Both return -1 on a failure other than "try again".
    qint64 Le(QByteArray& destino);
    qint64 Escreve(const QByteArray& bytes);

private:
    int m_mestre = -1;
    int m_escravo = -1; // held open so the master never reads EIO while the program has the port closed
    QString m_dispositivo;
    QString m_link;
};
