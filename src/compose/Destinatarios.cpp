#include "compose/Destinatarios.h"

#include "common/Modulo.h"
#include "store/Consultas.h"
#include "store/ListaDeNomes.h"

#include <algorithm>

ListaDeDestinatarios LeDestinatarios(TipoDeDestinatario tipo) {
    ListaDeNomes lido =
        LeListaDeNomesEmOrdem(tipo == TipoDeDestinatario::Usuario ? Consultas::IdsENomesDosUsuarios
                                                                  : Consultas::IdsENomesDosGrupos);
    ListaDeDestinatarios lista;
    lista.nomes = std::move(lido.nomes);
    lista.ids = std::move(lido.ids);
    lista.erro = std::move(lido.erro);
    return lista;
}

void PreencheCodigosDaLista(const QVector<qint32>& ids) {
    const int tamanho = int(std::max<qsizetype>(Modulo::MinCodigosDaLista, ids.size())) + 1;
    Modulo::CodigosDaLista.fill(0, tamanho);
    std::copy(ids.cbegin(), ids.cend(), Modulo::CodigosDaLista.begin() + 1);
}
