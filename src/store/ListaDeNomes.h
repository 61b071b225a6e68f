#pragma once
// A list of names read from the store, each entry keeping its own identifier beside it.
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVector>

struct ListaDeNomes {
    QStringList nomes;
    QVector<qint32> ids; // ids[i] belongs to nomes[i]
    QString erro;        // not empty when the store could not be read

    bool Vazia() const { return nomes.isEmpty(); }
    // Identifier of the entry at a list index; 0 outside the list.
    qint32 IdNoIndice(int indice) const { return indice >= 0 && indice < ids.size() ? ids[indice] : 0; }
    // List index of the entry with this identifier; -1 when none has it (or id is 0).
    int IndiceDoId(qint32 id) const { return id == 0 ? -1 : int(ids.indexOf(id)); }
};

// sql selects the identifier first and the name second, in the order wanted; values (integers or
// texts) bound as parameters. Only those two columns are read, straight from SQLite (from a server,
// in one round trip when nothing is bound), so a large directory costs little.
ListaDeNomes LeListaDeNomes(const QString& sql, const QVariantList& parametros = {});
