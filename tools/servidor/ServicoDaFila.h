#pragma once
// bipvox-servidor's event loop: it sleeps until a submitter's poke, the next retry or a signal,
// then runs a delivery round with the link taken for that round only. One line per event goes to
// standard error (the journal, under systemd).
#include "common/Operador.h"
#include "common/Relogio.h"
#include "fila/EntregaDaFila.h"

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <memory>

// Message boxes become lines of the journal, except during a round, which logs the reason itself;
// status texts are left out.
class OperadorDoServico : public Operador {
public:
    explicit OperadorDoServico(std::FILE* saida) : m_saida(saida) {}
    bool emRodada = false;
    void Status(const QString& texto) override { m_status = texto; }
    QString StatusAtual() const override { return m_status; }
    Resposta Mensagem(const QString& texto, const QString& titulo, Icone, Botoes botoes) override;
    void Ampulheta(bool) override {}

private:
    std::FILE* m_saida;
    QString m_status;
};

class ServicoDaFila : public QObject {
    Q_OBJECT
public:
    // With the database already open. Termination signals come through Interrupcao (installed by
    // the caller): idle, the service ends at once; in a call, the page on the line is finished,
    // the session logged off and the line hung up first; a second signal ends every wait at once.
    explicit ServicoDaFila(Relogio& relogio, std::FILE* saida = stderr);
    // Takes the service's lock, recovers pages left in a call, listens for pokes and schedules the
    // first round. False (after saying why) when the service cannot run.
    bool Inicia();
    void Registra(const QString& texto);
    // Pages were queued: a round now, or before the running one logs off.
    void Acorda() { Rodada(); }

private:
    void AoAviso();
    void AoSinal();
    void Rodada();
    // Returns the seconds until a retry is needed because the port was busy or the queue could not
    // be written (0: none).
    double ExecutaRodada();
    void AgendaProxima(double emSegundos);

    Relogio& m_relogio;
    std::FILE* m_saida;
    OperadorDoServico m_operador;
    std::unique_ptr<QLockFile> m_trava;
    QLocalServer m_aviso;
    QTimer m_proxima;
    QSocketNotifier m_sinal;
    bool m_emRodada = false;
    bool m_pendente = false;
    PendenciasDaRodada m_pendencias; // written before the next call
    QString m_problemaDasRegras;
};
