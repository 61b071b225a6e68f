#pragma once
// One transmission: dial, log on, one block per recipient, log off, hang up, record each page.
// The routines read the request from the composition window and drive the progress window
// through the two small interfaces below.
#include "common/Contexto.h"

#include <QString>
#include <QStringList>

struct DadosUsuario;

// What the sending side reads from the composition window, which stays open behind the
// progress window, and the one thing it writes back.
class PedidoDeEnvio {
public:
    virtual ~PedidoDeEnvio() = default;
    // optListaPorUsuario selected: one user; otherwise one group.
    virtual bool DestinoEhUsuario() const = 0;
    // List index of cmbUsuario (0 for the first entry, -1 for none); the identifier is
    // CodigosDaLista at this index + 1.
    virtual int IndiceDaLista() const = 0;
    // Text of txtMensagem, as it stands.
    virtual QString TextoDaMensagem() const = 0;
    // Empties txtMensagem after a send that succeeded.
    virtual void EsvaziaMensagem() = 0;
    // Who asks, as each Log row of the send records it.
    virtual QString Origem() const = 0;
    // The one-user recipient: the directory's row, unless the request names a pager of its own.
    virtual DadosUsuario DadosDoDestinatario(Contexto& ctx, qint32 idUsuario);
};

// The progress window's display elements. Each change that shows is painted at once, because
// the answer waits let no events run; a repeated text or value costs nothing.
class PainelDeEnvio {
public:
    virtual ~PainelDeEnvio() = default;
    virtual void Titulo(const QString& texto) = 0; // pnlTitulo
    virtual void MedidorMaximo(int maximo) = 0;    // valStatus
    virtual void MedidorValor(int valor) = 0;
    virtual void MedidorVisivel(bool visivel) = 0;
    // While another Bipvox program holds the port: who (empty once the wait is over). False when
    // the operator gave the wait up.
    virtual bool AguardandoPorta(const QString& emUsoPor) {
        if (!emUsoPor.isEmpty())
            Titulo(QStringLiteral("Aguardando o modem, ") + emUsoPor);
        return true;
    }
};

// The user's pager code and name fitted to 10 and 50 characters; encontrado is false when no
// row has the identifier (the user was deleted after the list was filled).
struct DadosUsuario {
    QString ID_Pager;
    QString Nome_Usuario;
    bool encontrado = false;
};
DadosUsuario ObtemDadosUsuario(Contexto& ctx, qint32 idUsuario);

// What became of the pages, for a caller that must tell a full delivery from a partial one.
struct ResultadoDoEnvio {
    int entregues = 0;      // pages the terminal answered for, refused ones included (each has a Log row)
    int recusadas = 0;      // of those, pages whose pager code the terminal refused
    int puladas = 0;        // group members without a user row or a pager code
    int naoRegistradas = 0; // pages that went out but whose Log row could not be written
    QStringList desfechos;  // one line per page: recipient, pager and outcome
};

class Enlace;

// After the link is up (ctx.porta is the link's port). True when the page(s) went out and the
// link was closed normally.
bool EnviarUsuario(Contexto& ctx, Enlace& enlace, PedidoDeEnvio& pedido, PainelDeEnvio& painel,
                   ResultadoDoEnvio* resultado = nullptr);
bool EnviarGrupo(Contexto& ctx, Enlace& enlace, PedidoDeEnvio& pedido, PainelDeEnvio& painel,
                 ResultadoDoEnvio* resultado = nullptr);
// The same after a modem has dialled on ctx.porta.
bool EnviarUsuario(Contexto& ctx, PedidoDeEnvio& pedido, PainelDeEnvio& painel,
                   ResultadoDoEnvio* resultado = nullptr);
bool EnviarGrupo(Contexto& ctx, PedidoDeEnvio& pedido, PainelDeEnvio& painel,
                 ResultadoDoEnvio* resultado = nullptr);

// The whole transmission of one opening of the progress window (sets EnvioIniciado, dials or
// connects as the settings say, sends to the user or the group, empties the message on
// success). The caller closes the window afterwards.
void IniciaProcesso(Contexto& ctx, PedidoDeEnvio& pedido, PainelDeEnvio& painel);
void IniciaProcesso(Contexto& ctx, Enlace& enlace, PedidoDeEnvio& pedido, PainelDeEnvio& painel);
// True while IniciaProcesso runs (a termination signal is then handled by the send itself).
bool EnvioEmCurso();
