// bipvox-enviar's command line and message: any arguments either run with one recipient and a
// message the window would send, or are refused with a reason; standard input of any bytes
// decodes to text. With --situacao the words are page numbers, not a message.
#include "MensagemDoEnvio.h"
#include "OpcoesDoEnvio.h"
#include "Propriedade.h"
#include "settings/Conexao.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    FuzzedDataProvider entrada(dados, tamanho);
    static const char* const kConhecidas[] = {
        "--usuario",    "--grupo",     "--pager",   "--nome",       "--banco",
        "--tentativas", "--intervalo", "--esperar", "--silencioso", "--help",
        "--version",    "--",          "-"};
    QStringList argumentos;
    while (entrada.remaining_bytes() > 0 && argumentos.size() < 12) {
        if (entrada.ConsumeBool())
            argumentos << QString::fromLatin1(entrada.PickValueInArray(kConhecidas));
        else
            argumentos << QString::fromUtf8(QByteArray::fromStdString(entrada.ConsumeRandomLengthString(16)));
    }
    OpcoesDoEnvio opcoes;
    QString erro;
    const bool aceitas = InterpretaOpcoes(argumentos, opcoes, erro);
    PROPRIEDADE(aceitas == erro.isEmpty());
    if (aceitas && !opcoes.ajuda && !opcoes.versao && !opcoes.situacao) {
        const int destinos = int(opcoes.dadas.contains(QStringLiteral("--usuario"))) +
                             int(opcoes.dadas.contains(QStringLiteral("--grupo"))) +
                             int(opcoes.dadas.contains(QStringLiteral("--pager")));
        PROPRIEDADE(destinos == 1);
        PROPRIEDADE(!opcoes.palavras.isEmpty());
        PROPRIEDADE(opcoes.tentativas >= 1);
        PROPRIEDADE(opcoes.intervalo >= 0 && opcoes.esperar >= 0);
    }

    const QString texto =
        TextoDaEntrada(QByteArray(reinterpret_cast<const char*>(dados), qsizetype(tamanho)));
    QString mensagem;
    if (PreparaMensagem(texto, mensagem, erro)) {
        PROPRIEDADE(!mensagem.trimmed().isEmpty());
        PROPRIEDADE(mensagem.size() <= MaiorTextoDividido);
        for (const QChar c : mensagem)
            PROPRIEDADE(c.unicode() >= 32 || c == QLatin1Char('\n'));
    } else {
        PROPRIEDADE(!erro.isEmpty());
    }
    return 0;
}
