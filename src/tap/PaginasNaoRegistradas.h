#pragma once
// Pages the terminal accepted but the history could not record. They are told to the operator
// once, after the call, and kept in a plain text file beside the database, so that no record
// of a page that went out is lost.
#include "common/Operador.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// Name of the text file, in the database's folder; each send adds its pages at the end.
inline const QString ArquivoDePaginasNaoRegistradas = QStringLiteral("PaginasNaoRegistradas.txt");

class PaginasNaoRegistradas {
public:
    void Adiciona(const QDateTime& momento, const QString& nome, const QString& pager,
                  const QString& mensagem, qint32 idUsuario);
    bool Vazia() const { return m_resumo.isEmpty(); }
    // Writes the file and shows one message listing every page; nothing when there is none.
    void Informa(Operador& operador) const;

private:
    QStringList m_resumo; // name, pager code and time, for the message
    QStringList m_linhas; // the whole record, for the file
};
