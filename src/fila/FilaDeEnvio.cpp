#include "fila/FilaDeEnvio.h"

#include "fila/RegrasDaFila.h"
#include "store/BancoDeDados.h"
#include "store/Consultas.h"
#include "store/Snapshot.h"

#include <QRecursiveMutex>
#include <QSqlError>
#include <QSqlQuery>

#include <limits>
#include <mutex>

namespace Fila {

namespace {

const QString kCampos = QStringLiteral(
    "ID_Pagina, ID_Pager, Usuario, ID_Usuario, Mensagem, Origem, Enfileirada, Situacao, Tentativas, "
    "Proxima_Tentativa, Motivo");

bool Falha(QString* erro, const QString& texto) {
    if (erro)
        *erro = texto;
    return false;
}

// Times are kept as UTC seconds, so a change of the local clock's offset cannot reorder them.
qint64 Segundos(const QDateTime& t) {
    return t.toSecsSinceEpoch();
}

QDateTime Instante(const QVariant& v) {
    return QDateTime::fromSecsSinceEpoch(v.toLongLong(), Qt::UTC);
}

// A write transaction that takes the write lock at once (waiting for another writer under the
// busy time-out), so two submitters never deadlock upgrading a read.
// One write transaction, flushed to the disk at its commit whatever the connection's usual
// setting: a page is on the disk before its submitter hears "queued", and a page's "entregue" or
// "enviando" survives a power cut, so it is never sent a second time after one.
class Escrita {
public:
    Escrita() {
        if (!BancoDeDadosAberto()) {
            m_erro = MotivoSemBanco();
            return;
        }
        // A server's commit is on its disk when it returns, and its writers lock rows, not the
        // store.
        if (MotorDoBanco() == Motor::PostgreSQL) {
            m_iniciada = BancoDeDados().transaction();
            if (!m_iniciada)
                m_erro = BancoDeDados().lastError().text();
            return;
        }
        // The threads of one program (the service's delivery, its SNPP clients) take turns here,
        // handed on at once, instead of finding the file locked and sleeping in SQLite's busy wait
        // (1, 2, 5, 10 ms...), which is what a client's "queued" waited for most.
        m_vez = std::unique_lock<QRecursiveMutex>(VezDeEscrever());
        QSqlQuery nivel(BancoDeDados());
        if (nivel.exec(QStringLiteral("PRAGMA synchronous")) && nivel.next())
            m_sincronia = nivel.value(0).toInt();
        nivel.finish();
        QSqlQuery(BancoDeDados()).exec(QStringLiteral("PRAGMA synchronous=FULL"));
        QSqlQuery inicio(BancoDeDados());
        m_iniciada = inicio.exec(QStringLiteral("BEGIN IMMEDIATE"));
        if (!m_iniciada)
            m_erro = inicio.lastError().text();
    }
    ~Escrita() {
        if (m_iniciada && !m_confirmada)
            QSqlQuery(BancoDeDados()).exec(QStringLiteral("ROLLBACK"));
        if (m_sincronia >= 0)
            QSqlQuery(BancoDeDados()).exec(QStringLiteral("PRAGMA synchronous=%1").arg(m_sincronia));
    }
    Escrita(const Escrita&) = delete;
    Escrita& operator=(const Escrita&) = delete;
    bool Iniciada(QString* erro) const { return m_iniciada || Falha(erro, m_erro); }
    bool Confirma(QString* erro) {
        QSqlQuery fim(BancoDeDados());
        m_confirmada = fim.exec(QStringLiteral("COMMIT"));
        return m_confirmada || Falha(erro, fim.lastError().text());
    }

private:
    static QRecursiveMutex& VezDeEscrever() {
        static QRecursiveMutex vez;
        return vez;
    }
    std::unique_lock<QRecursiveMutex> m_vez; // released last, after the ROLLBACK or COMMIT
    bool m_iniciada = false;
    bool m_confirmada = false;
    int m_sincronia = -1;
    QString m_erro;
};

Pagina LeLinha(const Snapshot& s) {
    Pagina p;
    p.id = s.Campo(QStringLiteral("ID_Pagina")).toLongLong();
    p.pager = s.Campo(QStringLiteral("ID_Pager")).toString();
    p.usuario = s.Campo(QStringLiteral("Usuario")).toString();
    p.idUsuario = s.Campo(QStringLiteral("ID_Usuario")).toInt();
    p.mensagem = s.Campo(QStringLiteral("Mensagem")).toString();
    p.origem = s.Campo(QStringLiteral("Origem")).toString();
    p.enfileirada = Instante(s.Campo(QStringLiteral("Enfileirada")));
    p.situacao = SituacaoPeloNome(s.Campo(QStringLiteral("Situacao")).toString()).value_or(Situacao::Incerta);
    p.tentativas = s.Campo(QStringLiteral("Tentativas")).toInt();
    p.proxima = Instante(s.Campo(QStringLiteral("Proxima_Tentativa")));
    p.motivo = s.Campo(QStringLiteral("Motivo")).toString();
    return p;
}

QVector<Pagina> Lista(const QString& condicao, const QVariantList& parametros, QString* erro) {
    QVector<Pagina> paginas;
    Snapshot s(QStringLiteral("Select %1 From Fila Where %2 Order By ID_Pagina").arg(kCampos, condicao),
               parametros);
    if (!s.Valido()) {
        Falha(erro, s.Erro());
        return paginas;
    }
    for (; !s.Eof(); s.MoveNext())
        paginas << LeLinha(s);
    return paginas;
}

const QString kNomes[] = {QStringLiteral("aguardando"), QStringLiteral("enviando"),
                          QStringLiteral("entregue"),   QStringLiteral("recusada"),
                          QStringLiteral("expirada"),   QStringLiteral("cancelada"),
                          QStringLiteral("incerta")};

} // namespace

QString NomeDaSituacao(Situacao situacao) {
    return kNomes[int(situacao)];
}

std::optional<Situacao> SituacaoPeloNome(const QString& nome) {
    for (int i = 0; i < int(std::size(kNomes)); ++i)
        if (kNomes[i] == nome)
            return Situacao(i);
    return std::nullopt;
}

bool GaranteTabela(QString* erro) {
    if (!BancoDeDadosAberto())
        return Falha(erro, MotivoSemBanco());
    // A server's schema has it from the start.
    if (MotorDoBanco() == Motor::PostgreSQL || BancoDeDados().tables().contains(QStringLiteral("Fila")))
        return true;
    // Created by whichever program queues first; IF NOT EXISTS lets two of them race safely.
    QSqlQuery q(BancoDeDados());
    if (!q.exec(QStringLiteral("Create Table If Not Exists Fila ("
                               "ID_Pagina INTEGER PRIMARY KEY AUTOINCREMENT, "
                               "ID_Pager TEXT NOT NULL, Usuario TEXT NOT NULL, ID_Usuario INTEGER NOT NULL, "
                               "Mensagem TEXT NOT NULL, Origem TEXT NOT NULL, Enfileirada INTEGER NOT NULL, "
                               "Situacao TEXT NOT NULL, Tentativas INTEGER NOT NULL, "
                               "Proxima_Tentativa INTEGER NOT NULL, Motivo TEXT NOT NULL)")) ||
        !q.exec(
            QStringLiteral("Create Index If Not Exists Fila_Situacao On Fila (Situacao, Proxima_Tentativa)")))
        return Falha(erro, q.lastError().text());
    return true;
}

bool Enfileira(const QVector<PaginaNova>& paginas, const QString& origem, const QDateTime& agora,
               QVector<qint64>& ids, QString* erro) {
    QVector<PedidoDaFila> pedidos{{paginas, origem, agora, {}, {}}};
    const bool ok = EnfileiraJuntos(pedidos) && pedidos[0].erro.isEmpty();
    ids = pedidos[0].ids;
    return ok || Falha(erro, pedidos[0].erro);
}

bool EnfileiraJuntos(QVector<PedidoDaFila>& pedidos) {
    QString erro;
    const auto falhaTodos = [&pedidos](const QString& motivo) {
        for (PedidoDaFila& p : pedidos) {
            p.ids.clear();
            p.erro = motivo;
        }
        return false;
    };
    Escrita escrita;
    if (!escrita.Iniciada(&erro))
        return falhaTodos(erro);
    QSqlQuery insere(BancoDeDados());
    insere.prepare(QStringLiteral("Insert Into Fila(ID_Pager, Usuario, ID_Usuario, Mensagem, Origem, "
                                  "Enfileirada, Situacao, Tentativas, Proxima_Tentativa, Motivo) "
                                  "Values(?, ?, ?, ?, ?, ?, 'aguardando', 0, ?, '')"));
    // An absent name (a pager outside the directory, without --nome) is stored empty, as the Log has it.
    const auto texto = [](const QString& t) { return t.isNull() ? QStringLiteral("") : t; };
    QSqlQuery ponto(BancoDeDados());
    for (PedidoDaFila& pedido : pedidos) {
        pedido.ids.clear();
        pedido.erro.clear();
        if (!ponto.exec(QStringLiteral("SAVEPOINT pedido")))
            return falhaTodos(ponto.lastError().text());
        for (const PaginaNova& p : pedido.paginas) {
            const QDateTime& agora = pedido.agora;
            const qint64 desde = Segundos(p.naoAntes.isValid() && p.naoAntes > agora ? p.naoAntes : agora);
            for (const QVariant& v : QVariantList{texto(p.pager), texto(p.usuario), p.idUsuario,
                                                  texto(p.mensagem), pedido.origem, desde, desde})
                insere.addBindValue(v);
            if (!insere.exec()) {
                pedido.erro = insere.lastError().text();
                break;
            }
            pedido.ids << insere.lastInsertId().toLongLong();
        }
        if (!pedido.erro.isEmpty()) {
            pedido.ids.clear();
            if (!ponto.exec(QStringLiteral("ROLLBACK TO pedido")))
                return falhaTodos(ponto.lastError().text());
        }
        if (!ponto.exec(QStringLiteral("RELEASE pedido")))
            return falhaTodos(ponto.lastError().text());
    }
    return escrita.Confirma(&erro) || falhaTodos(erro);
}

std::optional<Pagina> LePagina(qint64 id, QString* erro) {
    const QVector<Pagina> p = Lista(QStringLiteral("ID_Pagina = ?"), {id}, erro);
    if (p.isEmpty())
        return std::nullopt;
    return p.first();
}

QVector<Pagina> Prontas(const QDateTime& agora, QString* erro) {
    return Lista(QStringLiteral("Situacao = 'aguardando' And Proxima_Tentativa <= ?"), {Segundos(agora)},
                 erro);
}

QVector<Pagina> Pendentes(QString* erro, const QDateTime& falhasDesde) {
    return Lista(QStringLiteral("Situacao In ('aguardando', 'enviando', 'incerta') Or (Situacao In "
                                "('recusada', 'expirada') And Enfileirada >= ?)"),
                 {falhasDesde.isValid() ? Segundos(falhasDesde) : std::numeric_limits<qint64>::min()}, erro);
}

std::optional<QDateTime> ProximaTentativa() {
    Snapshot s(QStringLiteral("Select Min(Proxima_Tentativa) As P From Fila Where Situacao = 'aguardando'"));
    if (!s.Valido() || s.Eof() || s.Campo(QStringLiteral("P")).isNull())
        return std::nullopt;
    return Instante(s.Campo(QStringLiteral("P")));
}

namespace {
const QString kDesmarca =
    QStringLiteral("Update Fila Set Situacao = 'aguardando', Tentativas = Tentativas - 1 "
                   "Where ID_Pagina = ? And Situacao = 'enviando'");

// 1: marked; 0: not waiting any more; -1: the store refused.
int Marca(qint64 id, QString* erro) {
    QSqlQuery q(BancoDeDados());
    q.prepare(QStringLiteral("Update Fila Set Situacao = 'enviando', Tentativas = Tentativas + 1 "
                             "Where ID_Pagina = ? And Situacao = 'aguardando'"));
    q.addBindValue(id);
    if (!q.exec()) {
        Falha(erro, q.lastError().text());
        return -1;
    }
    return q.numRowsAffected() == 1 ? 1 : 0;
}
} // namespace

bool MarcaEnviando(qint64 id, QString* erro) {
    Escrita escrita;
    if (!escrita.Iniciada(erro))
        return false;
    const int marcada = Marca(id, erro);
    if (marcada < 0 || !escrita.Confirma(erro))
        return false;
    return marcada == 1 ||
           (marcada == 0 && Falha(erro, QStringLiteral("a página %1 não está mais aguardando").arg(id)));
}

bool DesmarcaEnviando(qint64 id) {
    return Executa(kDesmarca, {id});
}

bool RegistraEntrega(const Pagina& pagina, bool recusada, const QString& motivo, const QDateTime& quando,
                     QString* erro) {
    const Desfecho d{pagina,
                     {{pagina.mensagem, recusada, QString()}},
                     recusada ? Situacao::Recusada : Situacao::Entregue,
                     motivo,
                     quando};
    return GravaNaChamada(&d, 0, 0, nullptr, erro);
}

bool GravaNaChamada(const Desfecho* desfecho, qint64 marcar, qint64 desmarcar, bool* marcada, QString* erro) {
    if (marcada)
        *marcada = false;
    Escrita escrita;
    if (!escrita.Iniciada(erro))
        return false;
    if (desfecho) {
        const Pagina& p = desfecho->pagina;
        const QDateTime& quando = desfecho->quando;
        for (const ParteEntregue& parte : desfecho->partes)
            if (!GravaLog(quando.toString(QStringLiteral("yyyyMMdd")),
                          quando.toString(QStringLiteral("HH:mm")), p.usuario, parte.mensagem, p.pager,
                          p.idUsuario, parte.recusada, parte.motivo, p.origem, erro))
                return false;
        if (!Executa(QStringLiteral("Update Fila Set Situacao = ?, Motivo = ? Where ID_Pagina = ?"),
                     {NomeDaSituacao(desfecho->situacao), desfecho->motivo, p.id}, erro))
            return false;
    }
    if (desmarcar > 0 && !Executa(kDesmarca, {desmarcar}, erro))
        return false;
    const int marcou = marcar > 0 ? Marca(marcar, erro) : 0;
    if (marcou < 0 || !escrita.Confirma(erro))
        return false;
    if (marcada)
        *marcada = marcou == 1;
    return true;
}

bool Adia(const Pagina& pagina, const RegrasDaFila& regras, const QDateTime& agora, const QString& motivo,
          QString* erro) {
    // The attempt is counted here unless the block went out (MarcaEnviando counted it).
    const int tentativas = pagina.situacao == Situacao::Enviando ? pagina.tentativas : pagina.tentativas + 1;
    const DecisaoDaFila d =
        DepoisDaFalha(regras, tentativas, double(Segundos(pagina.enfileirada)), double(Segundos(agora)));
    return Executa(QStringLiteral("Update Fila Set Situacao = ?, Tentativas = ?, Proxima_Tentativa = ?, "
                                  "Motivo = ? Where ID_Pagina = ?"),
                   {d.expira ? QStringLiteral("expirada") : QStringLiteral("aguardando"), tentativas,
                    qint64(d.expira ? Segundos(agora) : qint64(d.proxima)),
                    d.expira ? motivo + QStringLiteral("; ") + d.motivo : motivo, pagina.id},
                   erro);
}

bool MarcaSituacao(qint64 id, Situacao situacao, const QString& motivo, QString* erro) {
    return Executa(QStringLiteral("Update Fila Set Situacao = ?, Motivo = ? Where ID_Pagina = ?"),
                   {NomeDaSituacao(situacao), motivo, id}, erro);
}

int ExpiraVencidas(const RegrasDaFila& regras, const QDateTime& agora) {
    int n = 0;
    for (const Pagina& p : Lista(QStringLiteral("Situacao = 'aguardando'"), {}, nullptr)) {
        if (!Vencida(regras, double(Segundos(p.enfileirada)), double(Segundos(agora))))
            continue;
        n += Executa(QStringLiteral("Update Fila Set Situacao = 'expirada', Motivo = ? Where ID_Pagina = ? "
                                    "And Situacao = 'aguardando'"),
                     {QStringLiteral("desistência: mais de %1 min na fila sem ser entregue")
                          .arg(regras.idadeMaxima / 60, 0, 'g', 4),
                      p.id})
                 ? 1
                 : 0;
    }
    return n;
}

int RecuperaInterrompidas(const RegrasDaFila& regras, const QDateTime& agora) {
    const QVector<Pagina> interrompidas = Lista(QStringLiteral("Situacao = 'enviando'"), {}, nullptr);
    int n = 0;
    for (const Pagina& p : interrompidas) {
        const QString motivo = QStringLiteral(
            "o serviço parou no meio da chamada, com esta página na linha ou marcada para sair; a "
            "central pode ter recebido");
        const bool ok = regras.reenviarIncertas
                            ? Executa(QStringLiteral("Update Fila Set Situacao = 'aguardando', "
                                                     "Proxima_Tentativa = ?, Motivo = ? Where ID_Pagina = ?"),
                                      {Segundos(agora), motivo + QStringLiteral(" (reenviada)"), p.id})
                            : MarcaSituacao(p.id, Situacao::Incerta, motivo);
        n += ok ? 1 : 0;
    }
    return n;
}

bool EntregaEhMinha(QString* erro) {
    if (!BancoDeDadosAberto())
        return Falha(erro, MotivoSemBanco());
    if (MotorDoBanco() != Motor::PostgreSQL)
        return true;
    // Taken once per connection (a second call would only stack it).
    Snapshot minha(QStringLiteral(
        "Select Case When Exists (Select 1 From pg_locks Where locktype = 'advisory' And pid = "
        "pg_backend_pid() And classid = 0 And objid = 7062 And objsubid = 1) Then true Else "
        "pg_try_advisory_lock(7062) End As Minha"));
    if (!minha.Valido())
        return Falha(erro, minha.Erro());
    return minha.Campo(QStringLiteral("Minha")).toBool() ||
           Falha(erro,
                 QStringLiteral("outro bipvox-servidor, noutra máquina, já entrega a fila deste banco (%1)")
                     .arg(IdentidadeDoBanco()));
}

bool Cancela(qint64 id, QString* erro) {
    QSqlQuery q(BancoDeDados());
    q.prepare(QStringLiteral("Update Fila Set Situacao = 'cancelada', Motivo = 'cancelada pelo operador' "
                             "Where ID_Pagina = ? And Situacao In ('aguardando', 'incerta')"));
    q.addBindValue(id);
    if (!q.exec())
        return Falha(erro, q.lastError().text());
    return q.numRowsAffected() == 1 ||
           Falha(erro, QStringLiteral("a página %1 não está aguardando na fila").arg(id));
}

} // namespace Fila
