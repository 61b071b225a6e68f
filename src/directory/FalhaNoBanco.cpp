#include "directory/FalhaNoBanco.h"

void InformaFalhaNoBanco(Operador& operador, const QString& acao, const QString& erro) {
    operador.Mensagem(QStringLiteral("Não foi possível %1 no arquivo de dados (Pager.Mdb); ele pode estar "
                                     "danificado ou em uso. Nada foi alterado.\n\n(%2)")
                          .arg(acao, erro),
                      QStringLiteral("Erro:"), Icone::Informacao);
}
