#include "Opcoes.h"

#include "common/Win1252.h"

#include <cmath>
#include <functional>

namespace {
bool LeSegundos(const QString& texto, double& valor, bool aceitaZero) {
    bool ok = false;
    valor = QString(texto).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    return ok && std::isfinite(valor) && (aceitaZero ? valor >= 0.0 : valor > 0.0) && valor < 1e6;
}

bool LeInteiro(const QString& texto, int& valor, int minimo) {
    bool ok = false;
    valor = texto.toInt(&ok);
    return ok && valor >= minimo;
}

bool LeDiscagem(const QString& nome, Discagem& d) {
    static const QList<QPair<QString, Discagem>> nomes = {
        {QStringLiteral("conecta"), Discagem::Conecta},
        {QStringLiteral("ocupado"), Discagem::Ocupado},
        {QStringLiteral("sem-portadora"), Discagem::SemPortadora},
        {QStringLiteral("sem-tom"), Discagem::SemTom},
        {QStringLiteral("sem-resposta"), Discagem::SemResposta},
        {QStringLiteral("mudo"), Discagem::Muda}};
    for (const auto& [texto, valor] : nomes) {
        if (texto == nome) {
            d = valor;
            return true;
        }
    }
    return false;
}

// Each handler returns an empty text when the value is good, else what is wrong with it.
using Tratador = std::function<QString(const QString& valor)>;
struct Opcao {
    QString nome;
    bool temValor;
    Tratador trata;
};

QString Invalido(const QString& opcao, const QString& valor, const QString& esperado) {
    return QStringLiteral("valor inválido para --%1: \"%2\" (esperado: %3)").arg(opcao, valor, esperado);
}

QVector<Opcao> TabelaDeOpcoes(Opcoes& o) {
    Cenario& c = o.cenario;
    return {
        {QStringLiteral("help"), false,
         [&o](const QString&) {
             o.ajuda = true;
             return QString();
         }},
        {QStringLiteral("ajuda"), false,
         [&o](const QString&) {
             o.ajuda = true;
             return QString();
         }},
        {QStringLiteral("link"), true,
         [&o](const QString& v) {
             o.link = v;
             return v.isEmpty() ? QStringLiteral("--link precisa de um caminho") : QString();
         }},
        {QStringLiteral("linha-direta"), false,
         [&o](const QString&) {
             o.linhaDireta = true;
             return QString();
         }},
        {QStringLiteral("tcp"), true,
         [&o](const QString& v) {
             return LeInteiro(v, o.portaTCP, 0) && o.portaTCP <= 65535
                        ? QString()
                        : Invalido(QStringLiteral("tcp"), v, QStringLiteral("porta de 0 a 65535"));
         }},
        {QStringLiteral("transcricao"), true,
         [&o](const QString& v) {
             o.transcricao = v;
             return v.isEmpty() ? QStringLiteral("--transcricao precisa de um arquivo") : QString();
         }},
        {QStringLiteral("duracao"), true,
         [&o](const QString& v) {
             return LeSegundos(v, o.duracao, false)
                        ? QString()
                        : Invalido(QStringLiteral("duracao"), v, QStringLiteral("segundos, maior que zero"));
         }},
        {QStringLiteral("ritmo"), false,
         [&o](const QString&) {
             o.ritmo = true;
             return QString();
         }},
        {QStringLiteral("silencioso"), false,
         [&o](const QString&) {
             o.silencioso = true;
             return QString();
         }},
        {QStringLiteral("modem-mudo"), false,
         [&c](const QString&) {
             c.modemMudo = true;
             return QString();
         }},
        {QStringLiteral("discagem"), true,
         [&c](const QString& v) {
             c.discagens.clear();
             for (const QString& parte : v.split(QLatin1Char(','))) {
                 Discagem d;
                 if (!LeDiscagem(parte.trimmed(), d))
                     return Invalido(
                         QStringLiteral("discagem"), parte,
                         QStringLiteral("conecta, ocupado, sem-portadora, sem-tom, sem-resposta ou mudo"));
                 c.discagens.append(d);
             }
             return QString();
         }},
        {QStringLiteral("atraso-discagem"), true,
         [&c](const QString& v) {
             return LeSegundos(v, c.atrasoDiscagem, true)
                        ? QString()
                        : Invalido(QStringLiteral("atraso-discagem"), v, QStringLiteral("segundos"));
         }},
        {QStringLiteral("id"), true,
         [&c](const QString& v) {
             const QString esperado =
                 QStringLiteral("normal, apos-N, espontaneo, espontaneo-SEG, nunca ou minusculo");
             if (v == QLatin1String("normal")) {
                 c.modoId = ModoId::AposCRs;
                 c.idAposCRs = 1;
             } else if (v.startsWith(QLatin1String("apos-"))) {
                 c.modoId = ModoId::AposCRs;
                 if (!LeInteiro(v.mid(5), c.idAposCRs, 1))
                     return Invalido(QStringLiteral("id"), v, esperado);
             } else if (v == QLatin1String("espontaneo")) {
                 c.modoId = ModoId::Espontaneo;
             } else if (v.startsWith(QLatin1String("espontaneo-"))) {
                 c.modoId = ModoId::Espontaneo;
                 if (!LeSegundos(v.mid(11), c.atrasoIdEspontaneo, true))
                     return Invalido(QStringLiteral("id"), v, esperado);
             } else if (v == QLatin1String("nunca")) {
                 c.modoId = ModoId::Nunca;
             } else if (v == QLatin1String("minusculo")) {
                 c.modoId = ModoId::Minusculo;
             } else {
                 return Invalido(QStringLiteral("id"), v, esperado);
             }
             return QString();
         }},
        {QStringLiteral("logon"), true,
         [&c](const QString& v) {
             if (v == QLatin1String("aceita"))
                 c.logon = ModoLogon::Aceita;
             else if (v == QLatin1String("nak"))
                 c.logon = ModoLogon::Nak;
             else if (v == QLatin1String("desconecta"))
                 c.logon = ModoLogon::Desconecta;
             else if (v == QLatin1String("mudo"))
                 c.logon = ModoLogon::Mudo;
             else if (v == QLatin1String("ack-duplo"))
                 c.logon = ModoLogon::AckDuplo;
             else
                 return Invalido(QStringLiteral("logon"), v,
                                 QStringLiteral("aceita, nak, desconecta, mudo ou ack-duplo"));
             return QString();
         }},
        {QStringLiteral("senha"), true,
         [&c](const QString& v) {
             c.exigeSenha = true;
             c.senha = ParaWin1252(v);
             return QString();
         }},
        {QStringLiteral("recusar"), true,
         [&c](const QString& v) {
             for (const QString& parte : v.split(QLatin1Char(','), Qt::SkipEmptyParts))
                 c.codigosRecusados.insert(ParaWin1252(parte));
             return QString();
         }},
        {QStringLiteral("desconectar-apos"), true,
         [&c](const QString& v) {
             return LeInteiro(v, c.desconectarApos, 0)
                        ? QString()
                        : Invalido(QStringLiteral("desconectar-apos"), v,
                                   QStringLiteral("número de páginas, 0 ou mais"));
         }},
        {QStringLiteral("nak-pagina"), true,
         [&c](const QString& v) {
             const QStringList partes = v.split(QLatin1Char(':'));
             const bool ok =
                 partes.size() <= 2 && LeInteiro(partes[0], c.nakPagina, 1) &&
                 (partes.size() == 1 ? (c.nakVezes = 1, true) : LeInteiro(partes[1], c.nakVezes, 0));
             return ok ? QString()
                       : Invalido(QStringLiteral("nak-pagina"), v, QStringLiteral("N:VEZES, como 1:2"));
         }},
        {QStringLiteral("mudo-na-pagina"), true,
         [&c](const QString& v) {
             return LeInteiro(v, c.mudoNaPagina, 1) ? QString()
                                                    : Invalido(QStringLiteral("mudo-na-pagina"), v,
                                                               QStringLiteral("número da página, 1 ou mais"));
         }},
        {QStringLiteral("fechar-na-pagina"), true,
         [&c](const QString& v) {
             return LeInteiro(v, c.fecharNaPagina, 1)
                        ? QString()
                        : Invalido(QStringLiteral("fechar-na-pagina"), v,
                                   QStringLiteral("número da página, 1 ou mais"));
         }},
        {QStringLiteral("fechar-apos-pagina"), true,
         [&c](const QString& v) {
             return LeInteiro(v, c.fecharAposPagina, 1)
                        ? QString()
                        : Invalido(QStringLiteral("fechar-apos-pagina"), v,
                                   QStringLiteral("número da página, 1 ou mais"));
         }},
        {QStringLiteral("inundar"), true,
         [&c](const QString& v) {
             if (v == QLatin1String("antes-do-id"))
                 c.inundar = Inundacao::AntesDoId;
             else if (v == QLatin1String("logon"))
                 c.inundar = Inundacao::NoLogon;
             else if (v == QLatin1String("pagina"))
                 c.inundar = Inundacao::NaPagina;
             else
                 return Invalido(QStringLiteral("inundar"), v,
                                 QStringLiteral("antes-do-id, logon ou pagina"));
             return QString();
         }},
        {QStringLiteral("sete-bits"), false,
         [&c](const QString&) {
             c.seteBits = true;
             return QString();
         }},
        {QStringLiteral("escapes"), false,
         [&c](const QString&) {
             c.escapes = true;
             return QString();
         }},
        {QStringLiteral("tamanho-maximo"), true,
         [&c](const QString& v) {
             const QString modo = v.section(QLatin1Char(':'), 1);
             c.recusaLonga = modo == QLatin1String("recusar");
             const bool ok = LeInteiro(v.section(QLatin1Char(':'), 0, 0), c.tamanhoMaximo, 1) &&
                             (modo.isEmpty() || modo == QLatin1String("cortar") || c.recusaLonga);
             return ok ? QString()
                       : Invalido(QStringLiteral("tamanho-maximo"), v,
                                  QStringLiteral("N, N:cortar ou N:recusar, N de 1 em diante"));
         }},
        {QStringLiteral("sem-linhas-numeradas"), false,
         [&c](const QString&) {
             c.linhasNumeradas = false;
             return QString();
         }},
        {QStringLiteral("limite-da-sessao"), true,
         [&c](const QString& v) {
             const QString modo = v.section(QLatin1Char(':'), 1);
             c.desligaNoFim = modo == QLatin1String("desliga");
             return LeInteiro(v.section(QLatin1Char(':'), 0, 0), c.limiteDaSessao, 1) &&
                            (modo.isEmpty() || modo == QLatin1String("espera") || c.desligaNoFim)
                        ? QString()
                        : Invalido(QStringLiteral("limite-da-sessao"), v,
                                   QStringLiteral("N, N:espera ou N:desliga, N de 1 em diante"));
         }},
        {QStringLiteral("guarda-escape"), true,
         [&c](const QString& v) {
             return LeSegundos(v, c.guardaEscape, false)
                        ? QString()
                        : Invalido(QStringLiteral("guarda-escape"), v,
                                   QStringLiteral("segundos, maior que zero"));
         }},
    };
}
} // namespace

bool InterpretaOpcoes(const QStringList& argumentos, Opcoes& opcoes, QString& erro) {
    const QVector<Opcao> tabela = TabelaDeOpcoes(opcoes);
    for (int i = 0; i < argumentos.size(); ++i) {
        const QString& arg = argumentos[i];
        if (arg == QLatin1String("-h")) {
            opcoes.ajuda = true;
            continue;
        }
        if (!arg.startsWith(QLatin1String("--"))) {
            erro = QStringLiteral("argumento inesperado: \"%1\" (veja --help)").arg(arg);
            return false;
        }
        const auto igual = arg.indexOf(QLatin1Char('='));
        const QString nome = arg.mid(2, igual < 0 ? -1 : igual - 2);
        const Opcao* opcao = nullptr;
        for (const Opcao& o : tabela)
            if (o.nome == nome)
                opcao = &o;
        if (!opcao) {
            erro = QStringLiteral("opção desconhecida: --%1 (veja --help)").arg(nome);
            return false;
        }
        QString valor;
        if (opcao->temValor) {
            if (igual >= 0) {
                valor = arg.mid(igual + 1);
            } else if (i + 1 < argumentos.size()) {
                valor = argumentos[++i];
            } else {
                erro = QStringLiteral("a opção --%1 precisa de um valor (veja --help)").arg(nome);
                return false;
            }
        } else if (igual >= 0) {
            erro = QStringLiteral("a opção --%1 não leva valor").arg(nome);
            return false;
        }
        erro = opcao->trata(valor);
        if (!erro.isEmpty())
            return false;
    }
    if (opcoes.linhaDireta && opcoes.portaTCP >= 0) {
        erro = QStringLiteral("--linha-direta e --tcp não podem ser usadas juntas");
        return false;
    }
    if (!opcoes.link.isEmpty() && opcoes.portaTCP >= 0) {
        erro = QStringLiteral("--link só vale para o pseudo-terminal, não com --tcp");
        return false;
    }
    return true;
}

QString TextoDeAjuda() {
    return QStringLiteral(
        "Uso: bipvox-simulador [opções]\n"
        "\n"
        "Simula, num pseudo-terminal, um modem Hayes ligado à central de mensagens de uma operadora de\n"
        "pagers (protocolo TAP 1.8). O Bipvox usa o pseudo-terminal como se fosse a porta serial do\n"
        "modem. A primeira linha impressa é o caminho do dispositivo; com --link, a segunda é o link.\n"
        "O simulador roda até receber Ctrl+C (SIGINT) ou SIGTERM, ou até o fim de --duracao, e ao\n"
        "sair remove o seu link. O que acontece vai para a saída de erros, em português.\n"
        "\n"
        "Sem modem (a central sozinha, como nos sistemas de paging locais):\n"
        "  --linha-direta          a central fica direto no pseudo-terminal, como num cabo serial:\n"
        "                          não há comandos AT; cada sessão começa nos CRs do log-on e,\n"
        "                          depois do EOT CR, a central espera a próxima.\n"
        "  --tcp=PORTA             a central atende por TCP em 127.0.0.1:PORTA (0: qualquer porta\n"
        "                          livre); a primeira linha impressa é o endereço. Cada conexão é\n"
        "                          uma sessão; depois do EOT CR a central fecha a conexão.\n"
        "\n"
        "Onde e por quanto tempo:\n"
        "  --link=CAMINHO          cria um link simbólico com este nome apontando para o dispositivo\n"
        "                          (substitui um link antigo; nunca apaga um arquivo comum).\n"
        "  --transcricao=ARQUIVO   grava tudo o que passou pela linha, em JSON, um registro por linha:\n"
        "                          os bytes de cada sentido com a hora, os eventos, e cada página\n"
        "                          recebida (código do pager, mensagem, soma conferida e veredito).\n"
        "  --duracao=SEG           encerra sozinho depois de SEG segundos.\n"
        "  --ritmo                 faz a linha andar na velocidade de 9600 bauds (10 bits por\n"
        "                          caractere), nos dois sentidos, para os tempos parecerem reais.\n"
        "  --silencioso            não escreve os eventos na saída de erros.\n"
        "\n"
        "O modem:\n"
        "  --discagem=LISTA        o que acontece em cada chamada, na ordem; a última se repete:\n"
        "                            conecta        \"CONNECT 9600\" e a central atende (padrão)\n"
        "                            ocupado        \"BUSY\"\n"
        "                            sem-portadora  \"NO CARRIER\"\n"
        "                            sem-tom        \"NO DIALTONE\"\n"
        "                            sem-resposta   \"NO ANSWER\"\n"
        "                            mudo           o modem não responde nada à discagem\n"
        "                          Exemplo: --discagem=ocupado,conecta (ocupado na primeira, depois "
        "conecta).\n"
        "  --atraso-discagem=SEG   quanto tempo a discagem leva até a resposta (padrão 2).\n"
        "  --guarda-escape=SEG     silêncio depois de \"+++\" para o modem voltar ao modo de\n"
        "                          comando e responder \"OK\" (padrão 0,5).\n"
        "  --modem-mudo            o modem não responde absolutamente nada (nem eco, nem \"OK\"),\n"
        "                          como uma porta sem modem: serve para testar os tempos de espera.\n"
        "\n"
        "A central de mensagens (depois do CONNECT):\n"
        "  --id=MODO               como ela pede a identificação \"ID=\":\n"
        "                            normal          responde \"ID=\" ao primeiro CR (padrão)\n"
        "                            apos-N          só responde a partir do N-ésimo CR\n"
        "                            espontaneo      manda \"ID=\" sozinha 1 s depois de conectar e\n"
        "                                            não responde aos CRs\n"
        "                            espontaneo-SEG  o mesmo, SEG segundos depois de conectar\n"
        "                            nunca           nunca pede identificação\n"
        "                            minusculo       responde \"id=\" em minúsculas\n"
        "  --logon=MODO            resposta ao pedido de entrada ESC \"PG1\" CR:\n"
        "                            aceita      mensagem, CR ACK CR e o sinal ESC \"[p\" CR (padrão)\n"
        "                            nak         NAK CR (recusa)\n"
        "                            desconecta  ESC EOT CR e desliga\n"
        "                            mudo        não responde\n"
        "                            ack-duplo   CR ACK CR sem o sinal ESC \"[p\" CR, outro ACK CR\n"
        "                                        0,1 s depois, e nenhuma resposta às páginas\n"
        "  --senha=TEXTO           só aceita a entrada com esta senha depois de \"PG1\"; sem a\n"
        "                          opção, qualquer senha (ou nenhuma) serve.\n"
        "  --recusar=COD[,COD...]  códigos de pager inválidos: a página recebe CR RS CR.\n"
        "  --desconectar-apos=K    aceita K páginas na chamada e responde à seguinte com\n"
        "                          ESC EOT CR, desligando a linha (0: já na primeira).\n"
        "  --nak-pagina=N:VEZES    responde NAK CR à página N da chamada VEZES vezes antes de\n"
        "                          aceitá-la (--nak-pagina=N é o mesmo que N:1).\n"
        "  --mudo-na-pagina=N      não responde nada à página N da chamada.\n"
        "  --fechar-na-pagina=N    derruba a ligação (fecha a conexão TCP) ao receber a página N,\n"
        "                          sem responder.\n"
        "  --fechar-apos-pagina=N  aceita a página N (ACK CR) e derruba a ligação logo em seguida.\n"
        "  --inundar=QUANDO        passa a mandar texto sem fim (uns 400 KB por segundo) e nunca\n"
        "                          responde: antes-do-id (desde a conexão, sem nunca pedir \"ID=\"),\n"
        "                          logon (em vez do ACK ao log-on) ou pagina (em vez da resposta\n"
        "                          à primeira página).\n"
        "\n"
        "O tipo de central e de linha (como as centrais em serviço, que seguem o TAP 1.8 mais ou\n"
        "menos):\n"
        "  --sete-bits             linha de 7 bits de dados (como 7E1): a central perde o oitavo bit\n"
        "                          de cada byte recebido antes de conferir a soma, e uma letra\n"
        "                          acentuada chega como outra (\"ô\" vira \"t\") com a soma errada.\n"
        "                          A transcrição guarda os bytes como o programa os mandou.\n"
        "  --escapes               entende os escapes do TAP 1.8: SUB seguido do caractere mais 64\n"
        "                          é um caractere de controle (SUB \"J\" é a quebra de linha).\n"
        "  --tamanho-maximo=N[:MODO]\n"
        "                          a maior mensagem que a central aceita, em caracteres (contados\n"
        "                          depois dos escapes); uma maior é cortada nos N primeiros com\n"
        "                          \"212 Long message truncated and sent\" antes do ACK (MODO\n"
        "                          cortar, o padrão) ou recusada com\n"
        "                          \"513 Message too long, rejected\" e CR RS CR (MODO recusar).\n"
        "  --sem-linhas-numeradas  responde só com ACK, NAK, RS e ESC EOT, sem as linhas numeradas\n"
        "                          (\"110 1.8\", \"211 Page(s) Sent Successfully\", \"511 ...\"),\n"
        "                          como as centrais anteriores ao TAP 1.8.\n"
        "  --limite-da-sessao=N[:MODO]\n"
        "                          aceita N páginas por chamada: a N-ésima recebe \"112 Maximum Pages\n"
        "                          Entered for Session\" antes do ACK e a seguinte, a mesma linha e\n"
        "                          ESC EOT CR, desligando; o EOT CR se despede como sempre (MODO\n"
        "                          espera, o padrão). Com MODO desliga, o ESC EOT CR vem logo atrás\n"
        "                          do ACK da N-ésima, na mesma escrita, e a central desliga.\n"
        "\n"
        "  Toda página cuja soma de verificação não confere recebe NAK CR. Ao EOT CR do fim da\n"
        "  sessão, a central se despede, manda ESC EOT CR e desliga (o modem diz \"NO CARRIER\").\n"
        "  Depois que a ligação cai, tudo volta ao início para a próxima chamada.\n"
        "\n"
        "  -h, --help, --ajuda     mostra este texto.\n");
}
