#pragma once
// One SNPP conversation (RFC 1861, level 1 and the level-2 commands clients use), without the
// socket: each line the client sent goes in, the reply comes out. Pages are queued at SEND, every
// recipient of the transaction in one database transaction, or none; a connection that ends
// before SEND leaves nothing behind.
#include "common/Relogio.h"
#include "fila/FilaDeEnvio.h"

class SenhasSNPP;

#include <QByteArray>
#include <QString>
#include <QVector>
#include <functional>

class SessaoSNPP {
public:
    // The longest line, command or DATA line, and the most a DATA block may hold before the
    // client is cut off (a message that long can never be sent anyway).
    static constexpr int TamanhoDaLinha = 1024;
    static constexpr int TamanhoDosDados = 16 * 1024;
    // PAGE commands in one transaction, and errors before the client is cut off.
    static constexpr int MaximoDeDestinos = 100;
    static constexpr int MaximoDeErros = 20;

    // endereco names the client in the pages' source ("SNPP 10.0.0.5") and in the log. With
    // senhas, PAGE needs a LOGI whose password the file confirms.
    SessaoSNPP(Relogio& relogio, const QString& endereco, const SenhasSNPP* senhas = nullptr);

    static QByteArray Saudacao();
    // One line without its line end; the reply, CRLF-terminated (empty within DATA).
    QByteArray Recebe(const QByteArray& linha);
    // After QUIT or a 421: the connection is to be closed once the reply is out.
    bool Encerrada() const { return m_encerrada; }
    // A cut-off for the listener to send before closing: a line too long, the idle time-out.
    QByteArray Corta(const QString& motivo);

    // Seconds the listener holds the last reply back: a refused LOGI after a few others from the
    // same address (falhasAnteriores, counted by the listener across connections).
    double TomaEspera() {
        const double e = m_espera;
        m_espera = 0;
        return e;
    }
    int falhasAnteriores = 0;
    std::function<void(bool entrou)> aoEntrar;

    // Told of each queued transaction (the service is woken) and of events worth a log line.
    std::function<void(const QVector<qint64>&)> aoEnfileirar;
    std::function<void(const QString&)> registra;

    // With it, SEND hands its pages over to a write shared with other sessions and Recebe answers
    // nothing (AguardaGravacao); Gravada gives the reply once that write is over. Without it,
    // SEND writes its pages itself.
    std::function<void(const Fila::PedidoDaFila&)> gravaJunto;
    bool AguardaGravacao() const { return m_aguardaGravacao; }
    QByteArray Gravada(const Fila::PedidoDaFila& pedido);

private:
    QByteArray Comando(const QString& linha);
    QByteArray Dados(const QByteArray& linha);
    QByteArray Pagina(const QString& destino);
    QByteArray Hora(const QString& argumento);
    QByteArray Envia();
    QByteArray Entrada(const QString& argumento);
    QByteArray Erro(int codigo, const QString& texto);
    void Recomeca();
    QString Origem() const;

    Relogio& m_relogio;
    QString m_endereco;
    const SenhasSNPP* m_senhas;
    QString m_usuario;
    bool m_entrou = false;
    int m_falhas = 0;
    double m_espera = 0;
    QVector<Fila::PaginaNova> m_paginas;
    int m_destinos = 0;
    QString m_mensagem;
    bool m_temMensagem = false;
    QString m_assunto;
    QDateTime m_naoAntes;
    bool m_emDados = false;
    QByteArray m_dados;
    int m_erros = 0;
    bool m_encerrada = false;
    bool m_aguardaGravacao = false;
};
