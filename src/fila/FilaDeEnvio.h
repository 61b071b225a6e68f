#pragma once
// The page queue: a table Fila in Pager.Mdb, beside the directory and the history it feeds. A page
// is delivered and its Log row written in one transaction, a group is expanded from the same file,
// and one copy of the file keeps both. Every submitter and the service share it through SQLite's
// own locking (a write waits for another, up to the connection's busy time-out).
#include <QDateTime>
#include <QString>
#include <QVector>
#include <optional>

struct RegrasDaFila;

namespace Fila {

enum class Situacao { Aguardando, Enviando, Entregue, Recusada, Expirada, Cancelada, Incerta };
// "aguardando", "enviando", ...; and back (nullopt for anything else).
QString NomeDaSituacao(Situacao situacao);
std::optional<Situacao> SituacaoPeloNome(const QString& nome);

// Creates the table in the open database when it is missing. False, with the reason.
bool GaranteTabela(QString* erro = nullptr);

// A page as its Log row would be written: the name exactly as the Log keeps it (a one-user send
// pads it to 50 characters, a group member's is trimmed).
struct PaginaNova {
    QString pager;
    QString usuario;
    qint32 idUsuario = 0;
    QString mensagem;
    // Held until then (UTC), and its age counted from then; invalid: at once.
    QDateTime naoAntes = {};
};

struct Pagina {
    qint64 id = 0;
    QString pager;
    QString usuario;
    qint32 idUsuario = 0;
    QString mensagem;
    QString origem;
    QDateTime enfileirada; // UTC
    Situacao situacao = Situacao::Aguardando;
    int tentativas = 0;
    QDateTime proxima; // UTC; the next attempt of a waiting page
    QString motivo;
};

// Every page in one transaction, committed before it returns: all queued (ids in order) or none.
bool Enfileira(const QVector<PaginaNova>& paginas, const QString& origem, const QDateTime& agora,
               QVector<qint64>& ids, QString* erro = nullptr);
// One submitter's pages in a write shared with others: ids when they are queued, else erro.
struct PedidoDaFila {
    QVector<PaginaNova> paginas;
    QString origem;
    QDateTime agora;
    QVector<qint64> ids;
    QString erro;
};
// Several submitters' pages in one transaction, so one wait for the disk serves them all; each
// submitter's pages are queued all or none (a refused one leaves the others in). False when
// the transaction itself failed: then nothing is queued and every erro says why.
bool EnfileiraJuntos(QVector<PedidoDaFila>& pedidos);

std::optional<Pagina> LePagina(qint64 id, QString* erro = nullptr);
// Waiting pages whose attempt is due, oldest first.
QVector<Pagina> Prontas(const QDateTime& agora, QString* erro = nullptr);
// Pages a person may want to see: waiting, in a call, failed or uncertain, oldest first. Failed
// ones (refused, expired) only when queued from falhasDesde on (invalid: all of them).
QVector<Pagina> Pendentes(QString* erro = nullptr, const QDateTime& falhasDesde = {});
// The earliest attempt among waiting pages.
std::optional<QDateTime> ProximaTentativa();

// Just before the page's block goes out; committed, so a crash afterwards leaves it "enviando".
// False also when the page is no longer waiting (cancelled meanwhile): it must not go out.
bool MarcaEnviando(qint64 id, QString* erro = nullptr);
// A page marked "enviando" whose block never went out (the call stopped first): waiting again,
// the attempt not counted.
bool DesmarcaEnviando(qint64 id);
// One Log row of a page that went out: a text longer than a page goes as numbered pages, each
// with its row, as a window send writes them.
struct ParteEntregue {
    QString mensagem;
    bool recusada = false;
    QString motivo; // the terminal's reason, for the Log
};
// A page the terminal judged: its final state (entregue, recusada, or incerta when only some parts
// went), the reason, and the Log rows of the parts that went, dated quando (local time).
struct Desfecho {
    Pagina pagina;
    QVector<ParteEntregue> partes;
    Situacao situacao = Situacao::Entregue;
    QString motivo;
    QDateTime quando;
};
// What a call writes between two blocks, in one transaction that waits for the disk: the judged
// page (none: nullptr); the page marcar marked "enviando" as MarcaEnviando marks it (*marcada: it
// was still waiting and now is); and the page desmarcar, marked earlier but not going out in this
// call, waiting again as DesmarcaEnviando leaves it (0: none).
bool GravaNaChamada(const Desfecho* desfecho, qint64 marcar = 0, qint64 desmarcar = 0,
                    bool* marcada = nullptr, QString* erro = nullptr);
// Taken (recusada = false) or refused by the terminal: the state and the page's Log row, dated
// quando (local time), in one transaction.
bool RegistraEntrega(const Pagina& pagina, bool recusada, const QString& motivo, const QDateTime& quando,
                     QString* erro = nullptr);
// A failed attempt: counted, then waiting again (at the rules' next time) or expired.
bool Adia(const Pagina& pagina, const RegrasDaFila& regras, const QDateTime& agora, const QString& motivo,
          QString* erro = nullptr);
// A page that leaves the queue's rounds without a Log row: "incerta" (the block may have reached
// the terminal but no answer came), "recusada" before any block went out, ...
bool MarcaSituacao(qint64 id, Situacao situacao, const QString& motivo, QString* erro = nullptr);
// Waiting pages past the maximum age become "expirada"; how many.
int ExpiraVencidas(const RegrasDaFila& regras, const QDateTime& agora);
// Pages left "enviando" by a sender that died: "incerta", or waiting again when the rules say to
// re-send them. How many.
int RecuperaInterrompidas(const RegrasDaFila& regras, const QDateTime& agora);
// Whether this program may deliver the queue. In a file, the service's lock file beside it
// decides; on a server, services on other machines share the queue, so a lock in the server, held
// by this connection, lets one deliver. Asked again at every round: a connection lost and made
// again has lost it. False, with the reason, when another holds it or the server cannot say.
bool EntregaEhMinha(QString* erro = nullptr);
// A waiting (or uncertain) page withdrawn; false when it is in another state.
bool Cancela(qint64 id, QString* erro = nullptr);

} // namespace Fila
