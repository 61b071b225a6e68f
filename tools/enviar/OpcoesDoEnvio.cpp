#include "OpcoesDoEnvio.h"

#include <QHash>

#include <algorithm>
#include <cmath>

const char* const TextoDeAjuda =
    "Uso: bipvox-enviar (--usuario NOME | --grupo NOME | --pager CÓDIGO [--nome NOME])\n"
    "                   [--fila] [opções] MENSAGEM\n"
    "     bipvox-enviar --situacao ID...\n"
    "\n"
    "Envia uma mensagem de pager pelo modem do Bipvox, sem abrir a janela: disca para a\n"
    "central, entrega a página (uma por membro, para um grupo), desconecta e registra cada\n"
    "envio no histórico, exatamente como um envio feito na janela. Usa o mesmo Bipvoxcf.INI\n"
    "e o mesmo Pager.Mdb do Bipvox.\n"
    "\n"
    "Destinatário (um, e só um):\n"
    "  --usuario NOME   o usuário do cadastro com esse nome (maiúsculas e minúsculas tanto faz)\n"
    "  --grupo NOME     cada membro do grupo com esse nome\n"
    "  --pager CÓDIGO   um código de pager fora do cadastro (até 10 caracteres)\n"
    "  --nome NOME      com --pager: o nome que vai para o histórico (padrão: vazio)\n"
    "\n"
    "Cada opção vale uma vez só e aceita \"--opção valor\" ou \"--opção=valor\";\n"
    "--silencioso, --fila, --situacao, --help e --version não recebem valor. \"--\" encerra\n"
    "as opções: o que vem depois é mensagem, mesmo que comece com \"-\".\n"
    "\n"
    "Mensagem: até 240 caracteres; várias palavras são juntadas com um espaço; \"-\" lê a\n"
    "mensagem da entrada padrão (UTF-8 ou Windows-1252). As letras acentuadas são trocadas\n"
    "como na janela de envio (á vira a, ç vira c, ...).\n"
    "\n"
    "Opções:\n"
    "  --banco ARQUIVO  o Pager.Mdb a usar; sem ela, o da chave Arquivo da seção [BANCO] de\n"
    "                   Bipvoxcf.INI, senão o que está ao lado do programa, senão\n"
    "                   ~/.local/share/bipvox/Pager.Mdb ($XDG_DATA_HOME), criado vazio se faltar\n"
    "  --tentativas N   disca até N vezes quando a linha dá ocupado ou ninguém atende\n"
    "                   (de 1 a 100; padrão 1)\n"
    "  --intervalo S    segundos entre uma tentativa e a próxima (de 0 a 3600; padrão 30)\n"
    "  --esperar S      se outro programa do Bipvox estiver numa chamada, espera até S\n"
    "                   segundos pela porta (de 0 a 86400; padrão 300, cinco minutos;\n"
    "                   0: não espera)\n"
    "  --silencioso     não mostra o andamento; erros e avisos continuam aparecendo\n"
    "  --fila           não disca: põe a(s) página(s) na fila do bipvox-servidor e volta na\n"
    "                   hora, escrevendo o número de cada página, um por linha (saída 0: na\n"
    "                   fila; 3: erro de uso ou de destinatário, nada na fila; 4: a fila não\n"
    "                   pôde ser gravada)\n"
    "  --situacao ID... a situação de cada página da fila, uma por linha: número, situação\n"
    "                   (aguardando, enviando, entregue, recusada, expirada, cancelada,\n"
    "                   incerta), tentativas, próxima tentativa e motivo, separados por\n"
    "                   tabulação\n"
    "  --help, -h, --ajuda\n"
    "                   mostra este texto\n"
    "  --version, --versao\n"
    "                   mostra a versão\n"
    "\n"
    "O andamento, os erros e os avisos vão para a saída de erros; uma pergunta que a janela\n"
    "faria é respondida \"Não\".\n"
    "\n"
    "Situação de saída:\n"
    "  0  todas as páginas foram aceitas pela central\n"
    "  1  ao menos uma página não foi entregue (código recusado pela central, membro do grupo\n"
    "     sem código de pager, ou grupo interrompido no meio); as demais foram\n"
    "  2  sem conexão (linha ocupada, sem portadora, sem tom de discagem, ninguém atendeu, ou\n"
    "     a central não aceitou a entrada): nenhuma página foi entregue\n"
    "  3  erro de uso ou de destinatário (nome desconhecido ou ambíguo, mensagem vazia, só\n"
    "     com brancos ou com mais de 240 caracteres, opção repetida): nada foi discado\n"
    "  4  a configuração, a porta serial ou o banco de dados não puderam ser usados\n"
    "     (Bipvoxcf.INI grande demais, porta TCP inválida, porta ainda em uso por outro\n"
    "     programa do Bipvox depois da espera de --esperar, modem que não responde,\n"
    "     Pager.Mdb ausente ou danificado)\n"
    "  5  páginas saíram, mas suas linhas no histórico não puderam ser gravadas (elas ficam\n"
    "     em PaginasNaoRegistradas.txt, ao lado do banco)\n"
    "\n"
    "Exemplos:\n"
    "  bipvox-enviar --usuario \"Ana Souza\" \"Reunião às 15h\"\n"
    "  bipvox-enviar --grupo Plantão \"Servidor db1 fora do ar\"\n"
    "  echo \"Disco cheio em /var\" | bipvox-enviar --grupo Plantão -\n";

namespace {

bool LeNumero(const QString& texto, double minimo, double maximo, double& valor) {
    bool ok = false;
    valor = QString(texto).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    return ok && std::isfinite(valor) && valor >= minimo && valor <= maximo;
}

QString ValorInvalido(const QString& opcao, const QString& valor, const QString& esperado) {
    return QStringLiteral("valor inválido para %1: \"%2\" (%3)").arg(opcao, valor, esperado);
}

// The value of one option; an empty text when it is good, else what is wrong.
QString AplicaValor(const QString& opcao, const QString& valor, OpcoesDoEnvio& o) {
    double numero = 0;
    if (opcao == QLatin1String("--usuario"))
        o.usuario = valor.trimmed();
    else if (opcao == QLatin1String("--grupo"))
        o.grupo = valor.trimmed();
    else if (opcao == QLatin1String("--pager"))
        o.pager = valor.trimmed();
    else if (opcao == QLatin1String("--nome"))
        o.nome = valor.trimmed();
    else if (opcao == QLatin1String("--banco"))
        o.banco = valor;
    for (const FaixaDeOpcao& faixa : FaixasDasOpcoes) {
        if (opcao != QLatin1String(faixa.opcao))
            continue;
        const bool inteiro = opcao == QLatin1String("--tentativas");
        if (!LeNumero(valor, faixa.minimo, faixa.maximo, numero) || (inteiro && numero != std::floor(numero)))
            return ValorInvalido(
                opcao, valor,
                QStringLiteral("%1 de %2 a %3")
                    .arg(inteiro ? QStringLiteral("um número inteiro") : QStringLiteral("segundos,"))
                    .arg(faixa.minimo)
                    .arg(faixa.maximo));
        if (inteiro)
            o.tentativas = int(numero);
        else
            (opcao == QLatin1String("--intervalo") ? o.intervalo : o.esperar) = numero;
    }
    return {};
}

const QStringList& OpcoesSemValor() {
    static const QStringList opcoes = {
        QStringLiteral("--silencioso"), QStringLiteral("--help"),     QStringLiteral("-h"),
        QStringLiteral("--fila"),       QStringLiteral("--situacao"), QStringLiteral("--ajuda"),
        QStringLiteral("--version"),    QStringLiteral("--versao"),
    };
    return opcoes;
}

const QStringList& OpcoesComValor() {
    static const QStringList opcoes = {
        QStringLiteral("--usuario"),   QStringLiteral("--grupo"),   QStringLiteral("--pager"),
        QStringLiteral("--nome"),      QStringLiteral("--banco"),   QStringLiteral("--tentativas"),
        QStringLiteral("--intervalo"), QStringLiteral("--esperar"),
    };
    return opcoes;
}

bool SemValor(const QString& opcao) {
    return OpcoesSemValor().contains(opcao);
}

bool ComValor(const QString& opcao) {
    return OpcoesComValor().contains(opcao);
}

// The user dialog's limit for a name.
constexpr int TamanhoDoNome = 50;

// --situacao takes page numbers and nothing else.
QString ConfereSituacao(const OpcoesDoEnvio& o) {
    for (const QString& opcao : o.dadas)
        if (opcao != QLatin1String("--situacao") && opcao != QLatin1String("--banco"))
            return QStringLiteral("%1 não vale com --situacao").arg(opcao);
    if (o.palavras.isEmpty())
        return QStringLiteral("--situacao recebe só números de página: bipvox-enviar --situacao ID...");
    for (const QString& palavra : o.palavras) {
        bool ok = false;
        if (palavra.toLongLong(&ok) <= 0 || !ok)
            return QStringLiteral("número de página inválido: \"%1\"").arg(palavra);
    }
    return {};
}

QString Confere(const OpcoesDoEnvio& o) {
    if (o.situacao)
        return ConfereSituacao(o);
    for (const char* opcao : {"--tentativas", "--intervalo", "--esperar"})
        if (o.fila && o.dadas.contains(QLatin1String(opcao)))
            return QStringLiteral("%1 não vale com --fila: quem disca é o bipvox-servidor")
                .arg(QLatin1String(opcao));
    const int destinos = int(o.dadas.contains(QStringLiteral("--usuario"))) +
                         int(o.dadas.contains(QStringLiteral("--grupo"))) +
                         int(o.dadas.contains(QStringLiteral("--pager")));
    if (destinos != 1)
        return QStringLiteral("indique um, e só um, destinatário: --usuario, --grupo ou --pager");
    if (o.dadas.contains(QStringLiteral("--nome")) && !o.dadas.contains(QStringLiteral("--pager")))
        return QStringLiteral("--nome só vale com --pager");
    if (o.dadas.contains(QStringLiteral("--pager")) && !CodigoValido(o.pager))
        return QStringLiteral("código de pager inválido: \"%1\" (de 1 a %2 caracteres, sem espaços)")
            .arg(o.pager)
            .arg(TamanhoDoCodigo);
    if (o.nome.size() > TamanhoDoNome)
        return QStringLiteral("o nome de --nome passa de %1 caracteres").arg(TamanhoDoNome);
    if (o.palavras.isEmpty())
        return QStringLiteral("falta a mensagem (ou \"-\" para lê-la da entrada padrão)");
    if (o.palavras.contains(QStringLiteral("-")) && o.palavras.size() > 1)
        return QStringLiteral("com \"-\" a mensagem vem só da entrada padrão; não escreva outras palavras");
    return {};
}

} // namespace

bool CodigoValido(const QString& codigo) {
    return !codigo.isEmpty() && codigo.size() <= TamanhoDoCodigo &&
           std::none_of(codigo.begin(), codigo.end(), [](QChar c) {
               return c.isSpace() || c.category() == QChar::Other_Control ||
                      c.category() == QChar::Other_Format;
           });
}

QStringList OpcoesConhecidas() {
    return OpcoesSemValor() + OpcoesComValor();
}

bool InterpretaOpcoes(const QStringList& argumentos, OpcoesDoEnvio& opcoes, QString& erro) {
    OpcoesDoEnvio o;
    QHash<QString, QString> valores; // each option's value as written
    bool soPalavras = false;
    for (int i = 0; i < argumentos.size(); ++i) {
        const QString& argumento = argumentos[i];
        if (soPalavras || argumento == QLatin1String("-") || !argumento.startsWith(QLatin1Char('-'))) {
            o.palavras.append(argumento);
            continue;
        }
        if (argumento == QLatin1String("--")) {
            soPalavras = true;
            continue;
        }
        if (argumento == QLatin1String("--help") || argumento == QLatin1String("-h") ||
            argumento == QLatin1String("--ajuda")) {
            o.ajuda = true;
            continue;
        }
        if (argumento == QLatin1String("--version") || argumento == QLatin1String("--versao")) {
            o.versao = true;
            continue;
        }
        if (argumento == QLatin1String("--silencioso")) {
            o.silencioso = true;
            continue;
        }
        if (argumento == QLatin1String("--fila") || argumento == QLatin1String("--situacao")) {
            (argumento == QLatin1String("--fila") ? o.fila : o.situacao) = true;
            o.dadas.append(argumento);
            continue;
        }
        const int igual = argumento.indexOf(QLatin1Char('='));
        const QString opcao = igual < 0 ? argumento : argumento.left(igual);
        if (SemValor(opcao)) {
            erro = QStringLiteral("a opção %1 não recebe valor: escreva só %1").arg(opcao);
            return false;
        }
        if (!ComValor(opcao)) {
            erro = QStringLiteral("opção desconhecida: %1").arg(opcao);
            return false;
        }
        QString valor;
        if (igual >= 0) {
            valor = argumento.mid(igual + 1);
        } else if (i + 1 < argumentos.size()) {
            valor = argumentos[++i];
        } else {
            erro = QStringLiteral("a opção %1 precisa de um valor").arg(opcao);
            return false;
        }
        // A repeated option is more likely a script's mistake than a wish for the last value.
        if (valores.contains(opcao)) {
            erro = QStringLiteral("a opção %1 foi dada mais de uma vez (\"%2\" e \"%3\"); dê só uma")
                       .arg(opcao, valores.value(opcao), valor);
            return false;
        }
        valores.insert(opcao, valor);
        o.dadas.append(opcao);
        erro = AplicaValor(opcao, valor, o);
        if (!erro.isEmpty())
            return false;
    }
    opcoes = o;
    if (o.ajuda || o.versao)
        return true;
    erro = Confere(o);
    return erro.isEmpty();
}
