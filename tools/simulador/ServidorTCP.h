#pragma once
// The simulator's end of a TCP connection: a listening socket on the loopback address only, and
// at most one client at a time (a second one is closed at once, like a busy terminal).
#include <QByteArray>
#include <QString>

class ServidorTCP {
public:
    ServidorTCP() = default;
    ~ServidorTCP();
    ServidorTCP(const ServidorTCP&) = delete;
    ServidorTCP& operator=(const ServidorTCP&) = delete;

    // porta 0 takes any free port. false, with the reason in erro, when it cannot listen.
    bool Abre(int porta, QString* erro);
    // "127.0.0.1:PORT"
    QString Endereco() const;
    int Escuta() const { return m_escuta; }
    int Cliente() const { return m_cliente; }

    // Takes a waiting connection; true when it became the client.
    bool Aceita(QString* origem);
    // Never block. Le returns -1 when the client has gone (or on a failure), Escreve -1 on a failure.
    qint64 Le(QByteArray& destino);
    qint64 Escreve(const QByteArray& bytes);
    void FechaCliente();

private:
    int m_escuta = -1;
    int m_cliente = -1;
    int m_porta = 0;
};
