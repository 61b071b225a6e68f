#include "directory/FalhaNoBanco.h"

#include "store/Transacao.h"

void InformaFalhaNoBanco(Operador& operador, const QString& acao, const QString& erro) {
    if (erro == Transacao::Ocupado) {
        operador.Mensagem(QStringLiteral("Não foi possível %1 agora: %2").arg(acao, erro),
                          QStringLiteral("Atenção:"), Icone::Informacao);
        return;
    }
    operador.Mensagem(QStringLiteral("Não foi possível %1 no arquivo de dados (Pager.Mdb); ele pode estar "
                                     "danificado ou em uso. Nada foi alterado.\n\n(%2)")
                          .arg(acao, erro),
                      QStringLiteral("Erro:"), Icone::Informacao);
}

void InformaOutraMesa(Operador& operador, const QString& texto) {
    operador.Mensagem(texto, QStringLiteral("Atenção:"), Icone::Informacao);
}
