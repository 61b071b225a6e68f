// A TAP block framed by the sender is read back by the simulated paging terminal as the same
// pager code and message, with a checksum it agrees with, and accepted on the first try.
#include "Cenario.h"
#include "Propriedade.h"
#include "TerminalTAP.h"
#include "common/Win1252.h"
#include "tap/FuncoesTAP.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

// What the sender lets reach a block: the code has no control character or blank, the message
// no control character but the line break typed with Enter.
bool Enviavel(const QString& codigo, const QString& mensagem) {
    if (codigo.isEmpty())
        return false;
    for (const QChar c : codigo)
        if (c.unicode() <= 32 || c.unicode() == 127)
            return false;
    for (const QChar c : mensagem)
        if ((c.unicode() < 32 && c != QLatin1Char('\n')) || c.unicode() == 127)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    FuzzedDataProvider entrada(dados, tamanho);
    const QString codigo = DeWin1252(QByteArray::fromStdString(entrada.ConsumeRandomLengthString(10)));
    const QString mensagem = DeWin1252(QByteArray::fromStdString(entrada.ConsumeRemainingBytesAsString()));
    QString bloco;
    const bool montado = MontaBlocoTAP(codigo, mensagem, bloco);
    PROPRIEDADE(montado == (mensagem.size() <= TamanhoMaximoMensagemTAP));
    if (!montado || !Enviavel(codigo, mensagem))
        return 0;
    QString soma;
    CalculaChecksumTAP(bloco, soma);

    const Cenario cenario;
    TerminalTAP terminal(cenario);
    QVector<PaginaRecebida> paginas;
    terminal.aoReceberPagina = [&paginas](const PaginaRecebida& p) { paginas << p; };
    terminal.Conecta(0, 1);
    terminal.Recebe("\r", 0);
    terminal.Recebe("\x1bPG1\r", 0);
    terminal.TomaSaida();
    terminal.Recebe(ParaWin1252(bloco + soma + QLatin1Char('\r')), 0);

    PROPRIEDADE(paginas.size() == 1);
    PROPRIEDADE(paginas[0].somaConfere);
    PROPRIEDADE(paginas[0].codigo == ParaWin1252(codigo));
    PROPRIEDADE(paginas[0].mensagem == ParaWin1252(mensagem));
    PROPRIEDADE(paginas[0].veredito == QLatin1String("aceita"));
    PROPRIEDADE(terminal.TomaSaida().endsWith("\x06\r"));
    return 0;
}
