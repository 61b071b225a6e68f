#include "directory/FalhaNoBanco.h"

#include "store/BancoDeDados.h"
#include "store/Transacao.h"

void InformaFalhaNoBanco(Operador& operador, const QString& acao, const QString& erro) {
    if (erro == Transacao::Ocupado) {
        operador.Mensagem(QStringLiteral("Não foi possível %1 agora: %2").arg(acao, erro),
                          QStringLiteral("Atenção:"), Icone::Informacao);
        return;
    }
    operador.Mensagem(
        QStringLiteral("Não foi possível %1 %2. Nada foi alterado.\n\n(%3)")
            .arg(acao, NoBancoDeDados(QStringLiteral("ele pode estar danificado ou em uso")), erro),
        QStringLiteral("Erro:"), Icone::Informacao);
}

void InformaOutraMesa(Operador& operador, const QString& texto) {
    operador.Mensagem(texto, QStringLiteral("Atenção:"), Icone::Informacao);
}
