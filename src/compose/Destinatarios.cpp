#include "compose/Destinatarios.h"

#include "common/Modulo.h"
#include "store/Consultas.h"
#include "store/Snapshot.h"

#include <algorithm>

ListaDeDestinatarios LeDestinatarios(TipoDeDestinatario tipo) {
    const bool usuarios = tipo == TipoDeDestinatario::Usuario;
    Snapshot consulta(usuarios ? Consultas::ListaUsuarios : Consultas::ListaGrupos);
    ListaDeDestinatarios lista;
    if (!consulta.Valido()) {
        lista.erro = consulta.Erro();
        return lista;
    }
    const QString campoNome = usuarios ? QStringLiteral("Nome_Usuario") : QStringLiteral("Nome_Grupo");
    const QString campoId = usuarios ? QStringLiteral("ID_Usuario") : QStringLiteral("ID_Grupo");
    lista.nomes.reserve(consulta.RecordCount());
    lista.ids.reserve(consulta.RecordCount());
    for (; !consulta.Eof(); consulta.MoveNext()) {
        lista.nomes.append(consulta.Campo(campoNome).toString());
        lista.ids.append(consulta.Campo(campoId).toInt());
    }
    consulta.Close();
    return lista;
}

void PreencheCodigosDaLista(const QVector<qint32>& ids) {
    const int tamanho = int(std::max<qsizetype>(Modulo::MinCodigosDaLista, ids.size())) + 1;
    Modulo::CodigosDaLista.fill(0, tamanho);
    std::copy(ids.cbegin(), ids.cend(), Modulo::CodigosDaLista.begin() + 1);
}
