#pragma once
// The send request of a send from the command line: the recipient found by name (or a pager
// outside the directory) at the first list position, and the message as typed.
#include "tap/Envio.h"

#include <optional>

class PedidoDaLinhaDeComando : public PedidoDeEnvio {
public:
    PedidoDaLinhaDeComando(bool usuario, QString mensagem, std::optional<DadosUsuario> pagerAvulso)
        : m_usuario(usuario), m_mensagem(std::move(mensagem)), m_pagerAvulso(std::move(pagerAvulso)) {}

    bool DestinoEhUsuario() const override { return m_usuario; }
    int IndiceDaLista() const override { return 0; }
    QString TextoDaMensagem() const override { return m_mensagem; }
    // There is no message box to empty; the process ends after the send.
    void EsvaziaMensagem() override {}
    QString Origem() const override { return QStringLiteral("linha de comando"); }
    DadosUsuario DadosDoDestinatario(Contexto& ctx, qint32 idUsuario) override {
        return m_pagerAvulso ? *m_pagerAvulso : PedidoDeEnvio::DadosDoDestinatario(ctx, idUsuario);
    }

private:
    bool m_usuario;
    QString m_mensagem;
    std::optional<DadosUsuario> m_pagerAvulso;
};
