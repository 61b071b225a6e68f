#include "compose/Destinatarios.h"

#include "common/Modulo.h"
#include "store/Consultas.h"

#include <algorithm>

ListaDeNomes LeDestinatarios(TipoDeDestinatario tipo) {
    return LeListaDeNomes(tipo == TipoDeDestinatario::Usuario ? Consultas::IdsENomesDosUsuarios
                                                              : Consultas::IdsENomesDosGrupos);
}

void PreencheCodigosDaLista(const QVector<qint32>& ids) {
    const int tamanho = int(std::max<qsizetype>(Modulo::MinCodigosDaLista, ids.size())) + 1;
    Modulo::CodigosDaLista.fill(0, tamanho);
    std::copy(ids.cbegin(), ids.cend(), Modulo::CodigosDaLista.begin() + 1);
}
