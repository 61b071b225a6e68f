#pragma once
// bipvox-servidor's SNPP port: monitoring systems and scripts on other machines queue pages over
// TCP. One SessaoSNPP per connection; the listener only moves lines and enforces the limits that
// keep one hostile client from hurting the others (networks, connection count, idle time-out,
// line and output sizes).
#include "common/RelogioReal.h"
#include "fila/FilaDeEnvio.h"

#include <QDateTime>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPair>
#include <QTcpServer>
#include <QThread>

#include <cstdio>
#include <functional>
#include <memory>

class SenhasSNPP;

// SENDs of every connection share the queue's writes: those that arrive while a write waits for
// the disk are all in the next one, so 50 clients wait for a few writes instead of 50 in a row.
// Each SEND's pages are still queued all or none, and its client hears 250 only after the write
// that holds them.
class GravacaoEmGrupo : public QObject {
public:
    using Pronto = std::function<void(const Fila::PedidoDaFila&)>;
    // A child of the listener, so it moves to the listener's thread with it.
    explicit GravacaoEmGrupo(QObject* pai) : QObject(pai) {}
    void Pede(const Fila::PedidoDaFila& pedido, Pronto pronto);
    int gravacoes = 0; // writes made so far

private:
    void Grava();
    QVector<Fila::PedidoDaFila> m_pedidos;
    QVector<Pronto> m_prontos;
    bool m_marcada = false;
};

// The [SNPP] keys of the settings file.
struct ConfiguracaoSNPP {
    QHostAddress endereco = QHostAddress(QHostAddress::LocalHost);
    quint16 porta = 444; // 0: no SNPP
    QList<QPair<QHostAddress, int>> redes{QHostAddress::parseSubnet(QStringLiteral("127.0.0.0/8")),
                                          QHostAddress::parseSubnet(QStringLiteral("::1/128"))};
    int maximoDeConexoes = 32;
    double tempoOcioso = 60;    // seconds without a whole line
    bool exigirEntrada = false; // PAGE only after a LOGI the passwords file confirms
    QString arquivoDeSenhas;    // beside the settings file unless given
};

// A key with a bad value keeps its default, and problema (when given) says which.
ConfiguracaoSNPP LeConfiguracaoSNPP(QString* problema = nullptr);
// The client's address as the log and the pages' source write it (IPv4 without the ::ffff: form).
QString TextoDoEndereco(const QHostAddress& endereco);
bool RedePermitida(const ConfiguracaoSNPP& configuracao, const QHostAddress& endereco);
// bipvox-servidor --usuario-snpp NOME: the password read from entrada (without echo on a
// terminal) goes, salted and hashed, to the passwords file. The exit status.
int GravaUsuarioSNPP(const QString& usuario, std::FILE* entrada);

class ServidorSNPP : public QObject {
    Q_OBJECT
public:
    // acorda wakes the delivery when pages were queued; registra logs a line. Both are called
    // in this object's thread.
    ServidorSNPP(Relogio& relogio, std::function<void(const QString&)> registra,
                 std::function<void()> acorda);
    ~ServidorSNPP() override;
    // Listens as configured. False, after a log line, when it cannot (the queue goes on without it);
    // true with nothing done when the port is 0.
    bool Inicia(const ConfiguracaoSNPP& configuracao);
    // With the [SNPP] keys of the settings file, a bad value said in the log.
    bool Inicia();
    quint16 Porta() const { return m_servidor.serverPort(); }
    int Conexoes() const { return m_conexoes; }

private:
    void AoConectar();
    // The passwords file again when it changed since it was read (a user was added).
    void AtualizaSenhas();

    Relogio& m_relogio;
    std::function<void(const QString&)> m_registra;
    std::function<void()> m_acorda;
    ConfiguracaoSNPP m_configuracao;
    QTcpServer m_servidor;
    int m_conexoes = 0;
    std::unique_ptr<SenhasSNPP> m_senhas;
    QDateTime m_senhasLidas;
    QHash<QString, int> m_falhasDeEntrada; // refused LOGIs in a row, per address
    GravacaoEmGrupo m_grupo;
};

// The listener in a thread of its own, with its own connection to the database: a call in
// progress holds the service's thread while it waits for the terminal, and SNPP clients must not
// wait for it. Started at construction; the destructor stops the thread.
class LinhaSNPP {
public:
    LinhaSNPP(std::function<void(const QString&)> registra, std::function<void()> acorda);
    ~LinhaSNPP();

private:
    RelogioReal m_relogio;
    QThread m_linha;
};
