#include "modem/Enlace.h"

#include "common/Modulo.h"
#include "modem/ComandosModem.h"
#include "modem/Desligamento.h"
#include "modem/Discagem.h"
#include "modem/PortaPerdida.h"
#include "modem/PortaTCP.h"

namespace {
const QString kPronto = QStringLiteral(" Pronto");
}

QString TituloDaAbertura(TipoDeConexao tipo) {
    return tipo == TipoDeConexao::Modem ? QStringLiteral("Discando ...") : QStringLiteral("Conectando ...");
}

QString EnlaceModem::StatusDaAbertura() const {
    return QStringLiteral(" Discando para a empresa de rádio chamadas, aguarde ...");
}

QString EnlaceModem::TituloDoFechamento() const {
    return QStringLiteral("Desconectando Modem ...");
}

bool EnlaceModem::RecuperaPorta(Contexto& ctx) {
    return ReabrePortaPerdida(ctx);
}

bool EnlaceModem::InformaPerda(Contexto& ctx) {
    return InformaPortaPerdida(ctx);
}

bool EnlaceModem::Abre(Contexto& ctx) {
    m_discagemFalhou = !DiscaOperadora(ctx);
    return !m_discagemFalhou;
}

void EnlaceModem::Fecha(Contexto& ctx) {
    if (m_discagemFalhou)
        DesconectaModem(ctx);
    else
        DesligaChamada(ctx);
}

void EnlaceModem::Renova(Contexto& ctx) {
    m_porta.setPortOpen(false);
    m_porta.setPortOpen(true);
    ctx.operador.Status(QStringLiteral(" Re-inicializando o modem, aguarde ..."));
}

QString EnlaceDireto::StatusDaAbertura() const {
    return QStringLiteral(" Conectando à central pela linha direta, aguarde ...");
}

QString EnlaceDireto::TituloDoFechamento() const {
    return QStringLiteral("Encerrando a sessão ...");
}

bool EnlaceDireto::Abre(Contexto& ctx) {
    // A cable adapter unplugged since the last send: one more try before giving up.
    if (m_porta.PortOpen() || ConfiguraPorta(ctx))
        return true;
    ctx.operador.Mensagem(QStringLiteral("Não foi possível abrir a porta serial COM%1 da linha direta com a "
                                         "central. Confira o cabo e a porta em Configurar Modem.")
                              .arg(Modulo::PortaModem),
                          QStringLiteral("Erro:"), Icone::Informacao);
    return false;
}

void EnlaceDireto::Fecha(Contexto& ctx) {
    LimpaBufferModem(ctx);
    ctx.operador.Status(kPronto);
}

void EnlaceDireto::Interrompe(Contexto& ctx) {
    ctx.operador.Status(QStringLiteral(" Encerrando a sessão com a central, aguarde ..."));
    m_porta.Output(Modulo::EOT + Modulo::CR);
    Pausa(ctx, 0.5);
    Fecha(ctx);
}

void EnlaceDireto::Renova(Contexto&) {
    m_porta.setPortOpen(false);
    m_porta.setPortOpen(true);
}

EnlaceTCP::EnlaceTCP(std::unique_ptr<PortaSerial> porta, const QString& destino, const QString& problema)
    : m_propria(std::move(porta)), m_porta(*m_propria), m_destino(destino), m_problema(problema) {}

QString EnlaceTCP::StatusDaAbertura() const {
    return QStringLiteral(" Conectando à central em %1, aguarde ...").arg(m_destino);
}

QString EnlaceTCP::TituloDoFechamento() const {
    return QStringLiteral("Desconectando ...");
}

bool EnlaceTCP::InformaPerda(Contexto& ctx) {
    if (m_porta.PortOpen())
        return false;
    ctx.operador.Mensagem(
        QStringLiteral("A central encerrou a conexão sem responder à mensagem; ela pode não "
                       "ter chegado ao pager."),
        QStringLiteral("Erro:"), Icone::Informacao);
    return true;
}

bool EnlaceTCP::Abre(Contexto& ctx) {
    // A bad address or port is not tried at all: no connection could name the real cause.
    if (!m_problema.isEmpty()) {
        ctx.operador.Mensagem(m_problema, QStringLiteral("Erro:"), Icone::Informacao);
        return false;
    }
    bool conectado = false;
    {
        const AmpulhetaLigada ampulheta(ctx.operador);
        conectado = m_porta.setPortOpen(true);
    }
    if (conectado)
        return true;
    const QString motivo = m_porta.UltimoErro();
    ctx.operador.Mensagem(
        QStringLiteral("Não foi possível conectar à central em %1%2. Confira o endereço e a "
                       "porta em Opções Avançadas e tente novamente.")
            .arg(m_destino, motivo.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(motivo)),
        QStringLiteral("Erro:"), Icone::Informacao);
    return false;
}

void EnlaceTCP::Fecha(Contexto& ctx) {
    const AmpulhetaLigada ampulheta(ctx.operador);
    ctx.operador.Status(QStringLiteral(" Desconectando, aguarde ..."));
    m_porta.setPortOpen(false);
    ctx.operador.Status(kPronto);
}

std::unique_ptr<Enlace> CriaEnlace(Contexto& ctx) {
    switch (LeTipoDeConexao()) {
    case TipoDeConexao::Direta:
        return std::make_unique<EnlaceDireto>(ctx.porta);
    case TipoDeConexao::TCP: {
        auto porta = std::make_unique<PortaTCP>(ctx.relogio);
        porta->setEndereco(LeEnderecoTCP(), LePortaTCP());
        return std::make_unique<EnlaceTCP>(std::move(porta), DestinoTCP(), ProblemaDoDestinoTCP());
    }
    case TipoDeConexao::Modem:
        break;
    }
    return std::make_unique<EnlaceModem>(ctx.porta);
}
