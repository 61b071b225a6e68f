// A text becomes the pages that go out under any connection's rules, and each page's block is
// read back by the simulated paging terminal as the same pager code and message field, with a
// checksum it agrees with, accepted on the first try: every page fits the carrier's length, only
// ASCII goes where ASCII is all that may go, and no control character can break the framing.
#include "Cenario.h"
#include "Propriedade.h"
#include "TerminalTAP.h"
#include "common/Win1252.h"
#include "tap/FuncoesTAP.h"
#include "tap/TextoDaPagina.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

bool CodigoEnviavel(const QString& codigo) {
    if (codigo.isEmpty())
        return false;
    for (const QChar c : codigo)
        if (c.unicode() <= 32 || c.unicode() >= 127)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    FuzzedDataProvider entrada(dados, tamanho);
    RegrasDoTexto regras;
    regras.seteBits = entrada.ConsumeBool();
    regras.win1252 = entrada.ConsumeBool();
    regras.controles = entrada.PickValueInArray(
        {ControlesNaLinha::Manter, ControlesNaLinha::Escape, ControlesNaLinha::Branco});
    regras.tamanhoDaPagina = entrada.ConsumeIntegralInRange(MenorPagina, MaiorPagina);
    regras.divide = entrada.ConsumeBool();
    const QString codigo = QString::fromLatin1(entrada.ConsumeRandomLengthString(10));
    const QString texto =
        QString::fromUtf8(QByteArray::fromStdString(entrada.ConsumeRemainingBytesAsString()));

    QStringList paginas;
    QString erro;
    if (!PaginasDoTexto(texto, regras, paginas, erro)) {
        PROPRIEDADE(!erro.isEmpty());
        return 0;
    }
    PROPRIEDADE(!paginas.isEmpty());
    PROPRIEDADE(paginas.size() == 1 || regras.divide);
    if (!CodigoEnviavel(codigo))
        return 0;

    const Cenario cenario;
    TerminalTAP terminal(cenario);
    QVector<PaginaRecebida> recebidas;
    terminal.aoReceberPagina = [&recebidas](const PaginaRecebida& p) { recebidas << p; };
    terminal.Conecta(0, 1);
    terminal.Recebe("\r", 0);
    terminal.Recebe("\x1bPG1\r", 0);
    terminal.TomaSaida();
    for (const QString& pagina : paginas) {
        PROPRIEDADE(pagina.size() <= regras.tamanhoDaPagina);
        const QString campo = CampoDaMensagem(pagina, regras);
        QString bloco;
        PROPRIEDADE(MontaBlocoTAP(codigo, campo, bloco));
        QString soma;
        CalculaChecksumTAP(bloco, soma);
        const QByteArray bytes = ParaWin1252(bloco + soma + QLatin1Char('\r'));
        if (regras.SoAscii())
            for (const char c : bytes)
                PROPRIEDADE(static_cast<unsigned char>(c) < 128);
        // Between STX and ETX only the CR after the code and the one closing the field.
        PROPRIEDADE(bytes.count('\x02') == 1 && bytes.count('\x03') == 1);
        PROPRIEDADE(ParaWin1252(campo).count('\r') == 0);
        terminal.Recebe(bytes, 0);
        PROPRIEDADE(terminal.TomaSaida().endsWith("\x06\r"));
    }
    PROPRIEDADE(recebidas.size() == paginas.size());
    for (int i = 0; i < paginas.size(); ++i) {
        PROPRIEDADE(recebidas[i].somaConfere);
        PROPRIEDADE(recebidas[i].codigo == ParaWin1252(codigo));
        PROPRIEDADE(recebidas[i].mensagem == ParaWin1252(CampoDaMensagem(paginas[i], regras)));
    }
    return 0;
}
