#include "history/ModeloDoHistorico.h"

#include "store/BancoDeDados.h"
#include "store/Consultas.h"

#include <QSqlError>
#include <QSqlQuery>

#include <memory>

namespace {
constexpr int LinhasPorPagina = 128;
constexpr int PaginasGuardadas = 64;
const char* const Titulos[] = {"Data", "Hora", "Usuário", "Mensagem", "Código", "Situação", "Origem"};
constexpr int Larguras[] = {915, 480, 2835, 6645, 735, 2400, 2400};
} // namespace

namespace {
QString SemBrancosAoFim(const QString& texto) {
    qsizetype fim = texto.size();
    while (fim > 0 && texto[fim - 1] == QLatin1Char(' '))
        --fim;
    return texto.left(fim);
}
} // namespace

QString DataDoHistorico(const QString& data) {
    return data.mid(6, 2) + QLatin1Char('/') + data.mid(4, 2) + QLatin1Char('/') + data.left(4);
}

ModeloDoHistorico::ModeloDoHistorico(std::optional<qint32> idUsuario, QObject* pai)
    : QAbstractTableModel(pai), m_paginas(PaginasGuardadas) {
    if (!BancoDeDadosAberto()) {
        m_erro = MotivoSemBanco();
        return;
    }
    QSqlQuery ordem(BancoDeDados());
    ordem.setForwardOnly(true);
    const QString filtro = idUsuario ? QStringLiteral(" Where ID_Usuario = ?") : QString();
    bool ok = ordem.prepare(QStringLiteral("Select rowid from Log") + filtro +
                            QStringLiteral(" Order By Data, Hora, Chave_Usuario, rowid"));
    if (idUsuario)
        ordem.addBindValue(*idUsuario);
    ok = ok && ordem.exec();
    while (ok && ordem.next())
        m_linhas.append(ordem.value(0).toLongLong());
    if (!ok || ordem.lastError().isValid()) {
        m_erro = ordem.lastError().text();
        m_linhas.clear();
    }
}

int ModeloDoHistorico::rowCount(const QModelIndex& pai) const {
    return pai.isValid() ? 0 : int(m_linhas.size());
}

int ModeloDoHistorico::columnCount(const QModelIndex& pai) const {
    return pai.isValid() ? 0 : Colunas;
}

int ModeloDoHistorico::LarguraEmTwips(int coluna) {
    return coluna >= 0 && coluna < Colunas ? Larguras[coluna] : 0;
}

QString ModeloDoHistorico::ExemploMaisLargo(int coluna) {
    switch (coluna) {
    case Data:
        return QStringLiteral("00/00/0000");
    case Hora:
        return QStringLiteral("00:00");
    case Codigo:
        return QStringLiteral("0000000000"); // pager codes hold up to 10 characters
    case Situacao:
        return DescreveSituacao(QStringLiteral("recusada"), QString());
    case Origem:
        return QStringLiteral("SNPP 255.255.255.255"); // an SNPP client's address
    default:
        return QString();
    }
}

QVariant ModeloDoHistorico::headerData(int secao, Qt::Orientation orientacao, int papel) const {
    if (orientacao == Qt::Horizontal && papel == Qt::DisplayRole && secao >= 0 && secao < Colunas)
        return QString::fromUtf8(Titulos[secao]);
    return QAbstractTableModel::headerData(secao, orientacao, papel);
}

QVariant ModeloDoHistorico::data(const QModelIndex& indice, int papel) const {
    if (!indice.isValid() || indice.row() >= m_linhas.size() ||
        (papel != Qt::DisplayRole && papel != Qt::ToolTipRole))
        return {};
    const Pagina* pagina = PaginaDaLinha(indice.row());
    if (!pagina)
        return QString();
    const QStringList& linha = pagina->at(indice.row() % LinhasPorPagina);
    if (linha.isEmpty()) // the row vanished from the file meanwhile
        return QString();
    if (indice.column() == Data)
        return DataDoHistorico(linha[Data]);
    // A one-user send stores the name padded with blanks to 50 characters: shown as typed, or
    // the column would cut every such name short.
    if (indice.column() == Usuario)
        return SemBrancosAoFim(linha[Usuario]);
    if (indice.column() == Situacao)
        return DescreveSituacao(linha[Situacao], linha[Colunas]);
    return linha[indice.column()];
}

const ModeloDoHistorico::Pagina* ModeloDoHistorico::PaginaDaLinha(int linha) const {
    const int numero = linha / LinhasPorPagina;
    if (const Pagina* guardada = m_paginas.object(numero))
        return guardada;
    if (!BancoDeDadosAberto())
        return nullptr;
    const int inicio = numero * LinhasPorPagina;
    const int quantas = std::min<int>(LinhasPorPagina, int(m_linhas.size()) - inicio);
    QStringList marcadores;
    for (int i = 0; i < quantas; ++i)
        marcadores << QStringLiteral("?");
    QSqlQuery consulta(BancoDeDados());
    consulta.setForwardOnly(true);
    if (!consulta.prepare(
            QStringLiteral(
                "Select rowid, Data, Hora, Usuario, Mensagem, ID_Pager, Situacao, Origem, Motivo from Log "
                "Where rowid In (%1)")
                .arg(marcadores.join(QLatin1Char(',')))))
        return nullptr;
    for (int i = 0; i < quantas; ++i)
        consulta.addBindValue(m_linhas[inicio + i]);
    if (!consulta.exec())
        return nullptr;
    QHash<qint64, QStringList> porRowid;
    porRowid.reserve(quantas);
    while (consulta.next())
        porRowid.insert(consulta.value(0).toLongLong(),
                        {consulta.value(1).toString(), consulta.value(2).toString(),
                         consulta.value(3).toString(), consulta.value(4).toString(),
                         consulta.value(5).toString(), consulta.value(6).toString(),
                         consulta.value(7).toString(), consulta.value(8).toString()});
    auto pagina = std::make_unique<Pagina>(quantas);
    for (int i = 0; i < quantas; ++i)
        (*pagina)[i] = porRowid.value(m_linhas[inicio + i]);
    Pagina* ponteiro = pagina.get();
    m_paginas.insert(numero, pagina.release());
    return ponteiro;
}
