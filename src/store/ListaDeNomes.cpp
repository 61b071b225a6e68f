#include "store/ListaDeNomes.h"

#include "store/BancoDeDados.h"

#include <QSqlError>
#include <QSqlQuery>

ListaDeNomes LeListaDeNomes(const QString& sql, const QVariantList& parametros) {
    ListaDeNomes lista;
    if (!BancoDeDadosAberto()) {
        lista.erro = QStringLiteral("O banco de dados não está aberto.");
        return lista;
    }
    QSqlQuery consulta(BancoDeDados());
    consulta.setForwardOnly(true);
    bool ok = consulta.prepare(sql);
    for (const QVariant& valor : parametros)
        consulta.addBindValue(valor);
    ok = ok && consulta.exec();
    if (!ok) {
        lista.erro = consulta.lastError().text();
        return lista;
    }
    while (consulta.next()) {
        lista.ids.append(consulta.value(0).toInt());
        lista.nomes.append(consulta.value(1).toString());
    }
    if (consulta.lastError().isValid()) {
        lista.erro = consulta.lastError().text();
        lista.nomes.clear();
        lista.ids.clear();
    }
    return lista;
}
