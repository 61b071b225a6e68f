#include "fila/ModeloDaFila.h"

#include "common/Escapado.h"
#include "store/BancoDeDados.h"

#include <QSqlQuery>

namespace {

QString Quando(const QDateTime& utc) {
    return utc.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

} // namespace

ModeloDaFila::ModeloDaFila(QObject* pai) : QAbstractTableModel(pai) {}

bool ModeloDaFila::Atualiza() {
    QString erro;
    m_versao = VersaoDosDados();
    QVector<Fila::Pagina> paginas;
    if (Fila::GaranteTabela(&erro))
        paginas = Fila::Pendentes(&erro, QDateTime::currentDateTimeUtc().addDays(-DiasDasFalhas));
    beginResetModel();
    m_paginas = paginas;
    m_erro = erro;
    endResetModel();
    return m_erro.isEmpty();
}

bool ModeloDaFila::AtualizaSeMudou() {
    if (m_versao >= 0 && VersaoDosDados() == m_versao)
        return false;
    Atualiza();
    return true;
}

const Fila::Pagina* ModeloDaFila::PaginaNaLinha(int linha) const {
    return linha >= 0 && linha < m_paginas.size() ? &m_paginas[linha] : nullptr;
}

int ModeloDaFila::LinhaDaPagina(qint64 id) const {
    for (int i = 0; i < m_paginas.size(); ++i)
        if (m_paginas[i].id == id)
            return i;
    return -1;
}

int ModeloDaFila::rowCount(const QModelIndex& pai) const {
    return pai.isValid() ? 0 : int(m_paginas.size());
}

int ModeloDaFila::columnCount(const QModelIndex& pai) const {
    return pai.isValid() ? 0 : NumeroDeColunas;
}

QVariant ModeloDaFila::data(const QModelIndex& indice, int papel) const {
    const Fila::Pagina* p = PaginaNaLinha(indice.row());
    if (!p)
        return {};
    if (papel == Qt::TextAlignmentRole)
        return indice.column() == ColPagina || indice.column() == ColTentativas
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant();
    // A long reason or message is read whole in its tool tip.
    if (papel == Qt::ToolTipRole && indice.column() == ColMotivo)
        return p->motivo;
    if (papel == Qt::ToolTipRole && indice.column() == ColMensagem)
        return p->mensagem;
    if (papel != Qt::DisplayRole)
        return {};
    switch (indice.column()) {
    case ColPagina:
        return QString::number(p->id);
    case ColDestinatario: {
        const QString nome = p->usuario.trimmed();
        return nome.isEmpty() ? QStringLiteral("pager %1").arg(p->pager)
                              : QStringLiteral("%1 (pager %2)").arg(nome, p->pager);
    }
    case ColOrigem:
        return p->origem;
    case ColEnfileirada:
        return Quando(p->enfileirada);
    case ColSituacao:
        return Fila::NomeDaSituacao(p->situacao);
    case ColTentativas:
        return QString::number(p->tentativas);
    case ColProxima:
        return p->situacao == Fila::Situacao::Aguardando ? Quando(p->proxima) : QStringLiteral("-");
    case ColMotivo:
        return p->motivo;
    case ColMensagem:
        // One line per page: line breaks as blanks, other control characters shown, not obeyed.
        return Escapado(p->mensagem.simplified());
    }
    return {};
}

QVariant ModeloDaFila::headerData(int secao, Qt::Orientation orientacao, int papel) const {
    if (orientacao != Qt::Horizontal || papel != Qt::DisplayRole)
        return QAbstractTableModel::headerData(secao, orientacao, papel);
    static const char* const titulos[] = {
        "Página",     "Destinatário",      "Origem", "Na fila desde", "Situação",
        "Tentativas", "Próxima tentativa", "Motivo", "Mensagem"};
    return secao >= 0 && secao < NumeroDeColunas ? QString::fromUtf8(titulos[secao]) : QVariant();
}
