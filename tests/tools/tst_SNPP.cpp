// bipvox-servidor's SNPP gateway: conversations on the session alone (lines in, reply codes out,
// pages in the queue), and who may connect.
#include "AmbienteDeTeste.h"
#include "CadastroDeTeste.h"
#include "RelogioVirtual.h"
#include "SenhasSNPP.h"
#include "ServidorSNPP.h"
#include "SessaoSNPP.h"
#include "settings/PerfilINI.h"

#include <QtTest>

class tst_SNPP : public QObject {
    Q_OBJECT
private slots:
    // Each step is "line>code" (no code: no reply, as inside DATA); x{N} stands for N letters. A
    // first step "#entrada" requires sign-in (user nagios, password "s3nh@ boa"; this address
    // already failed twice, so the next failure is slowed by 1 s).
    // fila: the queued pages as pager:name:message:source[@hold, UTC].
    void conversas_data() {
        QTest::addColumn<QStringList>("conversa");
        QTest::addColumn<QStringList>("fila");
        QTest::newRow("Net::SNPP, nível 1")
            << QStringList{"PAGE 1111>250", "MESS db1 caiu>250", "SEND>250", "QUIT>221"}
            << QStringList{"1111::db1 caiu:SNPP 10.0.0.5"};
        QTest::newRow("sendpage: LOGI sem senha, SITE recusado sem encerrar")
            << QStringList{"LOGI root>250",
                           "SITE HELP NOTIFY>500",
                           "LEVE 1>250",
                           "SITE FROMUSER root>500",
                           "page Ana Souza>250",
                           "MESSage oi>250",
                           "SEND>250"}
            << QStringList{"1111:Ana Souza:oi:SNPP 10.0.0.5 root"};
        QTest::newRow("grupo, código com senha, assunto, DATA com ponto, dois envios")
            << QStringList{"PAGE Plantão>250",
                           "PAGE 9999 segredo>250",
                           "SUBJ disco>250",
                           "DATA>354",
                           "..cheio>",
                           "linha 2>",
                           ".>250",
                           "SEND>250",
                           "PAGE 2222>250",
                           "MESS fim>250",
                           "HOLD 261207120000 +0000>250",
                           "SEND>250"}
            << QStringList{"1111:Ana Souza:disco: .cheio\nlinha 2:SNPP 10.0.0.5",
                           "2222:Beatriz:disco: .cheio\nlinha 2:SNPP 10.0.0.5",
                           "9999::disco: .cheio\nlinha 2:SNPP 10.0.0.5", "2222::fim:SNPP 10.0.0.5@07 12:00"};
        QTest::newRow("nome de algarismos: o usuário, não o código")
            << QStringList{"PAGE 190>250", "MESS oi>250", "SEND>250"}
            << QStringList{"3333:190:oi:SNPP 10.0.0.5"};
        QTest::newRow("erros: nada na fila") << QStringList{"PAGE Ana Sousa>550", "PAGE Vazio>550",
                                                            "PAGE>550",           "SEND>503",
                                                            "MESS x>250",         "DATA>503",
                                                            "COVE 1>550",         "LEVE 12>550",
                                                            "ALER 2>550",         "HOLD 261332000000>550",
                                                            "XYZZY>500",          "SEND>503",
                                                            "PAGE 1111>250",      "RESE>250",
                                                            "SEND>503",           "HELP>250"}
                                             << QStringList{};
        QTest::newRow("entrada exigida") << QStringList{"#entrada",
                                                        "PAGE 1111>550",
                                                        "LOGI nagios>550",
                                                        "LOGI nagios s3nh@>550",
                                                        "LOGI nagios s3nh@ boa>250",
                                                        "PAGE 1111>250",
                                                        "MESS oi>250",
                                                        "SEND>250"}
                                         << QStringList{"1111::oi:SNPP 10.0.0.5 nagios"};
        QTest::newRow("longa demais para a linha: 554, nada na fila")
            << QStringList{"PAGE 1111>250", "MESS x{241}>250", "SEND>554"} << QStringList{};
        QTest::newRow("cai no meio do DATA: linha longa")
            << QStringList{"PAGE 1111>250", "DATA>354", "oi>", "x{1025}>421", "SEND>"} << QStringList{};
        QStringList gigante{"PAGE 1111>250", "DATA>354"};
        for (int i = 0; i < 16; ++i)
            gigante << "x{1000}>";
        QTest::newRow("DATA de 10 MB cortado") << gigante + QStringList{"x{1000}>421", ".>"} << QStringList{};
        QTest::newRow("lixo binário: erros demais")
            << QStringList(20, QString::fromLatin1("\x01\xff\xfe>500")) +
                   QStringList{QString::fromLatin1("\x80>421"), "PAGE 1111>"}
            << QStringList{};
    }
    void conversas() {
        QFETCH(QStringList, conversa);
        QFETCH(QStringList, fila);
        AmbienteDeTeste ambiente;
        QVERIFY(ambiente.AbreBancoVazio() && Fila::GaranteTabela());
        CadastraGrupo("Plantão", {CadastraUsuario("Ana Souza", "1111"), CadastraUsuario("Beatriz", "2222")});
        CadastraGrupo("Vazio");
        CadastraUsuario("190", "3333");
        RelogioVirtual relogio;
        relogio.dataHora = [] { return QDateTime(QDate(2026, 12, 6), QTime(12, 0), Qt::UTC); };
        SenhasSNPP senhas;
        QString erro;
        const QString arquivo = ambiente.Diretorio() + "/senhas";
        QVERIFY(SenhasSNPP::Grava(arquivo, "nagios", "s3nh@ boa", erro) && senhas.Carrega(arquivo, &erro));
        QFile gravado(arquivo);
        QVERIFY(gravado.open(QIODevice::ReadOnly) && !gravado.readAll().contains("s3nh@"));
        const bool entrada = conversa.value(0) == "#entrada";
        SessaoSNPP sessao(relogio, "10.0.0.5", entrada ? &senhas : nullptr);
        sessao.falhasAnteriores = 2;
        double espera = 0;
        bool encerra = false;
        for (const QString& passo : conversa.mid(entrada ? 1 : 0)) {
            QString linha = passo.section('>', 0, -2);
            const QRegularExpressionMatch n = QRegularExpression("x\\{(\\d+)\\}").match(linha);
            if (n.hasMatch())
                linha.replace(n.captured(0), QString(n.captured(1).toInt(), 'x'));
            const QString codigo = passo.section('>', -1);
            encerra |= codigo == "221" || codigo == "421";
            const QByteArray resposta = sessao.Recebe(linha.toLatin1());
            QVERIFY2(resposta.endsWith("\r\n") || resposta.isEmpty(), resposta.constData());
            QCOMPARE(QString(resposta.split('\n').value(qMax(0, resposta.count('\n') - 1)).left(3)), codigo);
            espera += sessao.TomaEspera();
        }
        QCOMPARE(espera, entrada ? 1.0 : 0.0);
        QCOMPARE(sessao.Encerrada(), encerra);
        QStringList lidas;
        for (const Fila::Pagina& p : Fila::Pendentes())
            lidas << QStringList{p.pager, p.usuario.trimmed(), p.mensagem, p.origem}.join(':') +
                         (p.proxima.date().day() == 6 ? QString() : p.proxima.toString("@dd HH:mm"));
        QCOMPARE(lidas, fila);
    }

    // SENDs that arrive while a write is pending share it: one transaction for all, each client
    // answered with its own pages only after it.
    void gravacaoEmGrupo() {
        AmbienteDeTeste ambiente;
        QVERIFY(ambiente.AbreBancoVazio() && Fila::GaranteTabela());
        GravacaoEmGrupo grupo(nullptr);
        QStringList respostas;
        for (const QString pager : {"1111", "2222", "3333"})
            grupo.Pede({{{pager, {}, 0, "oi"}}, "SNPP 10.0.0.5", QDateTime::currentDateTimeUtc(), {}, {}},
                       [&respostas, pager](const Fila::PedidoDaFila& feito) {
                           QCOMPARE(Fila::Pendentes().size(), 3); // all written before the first reply
                           respostas << pager + ":" + QString::number(feito.ids.size());
                       });
        QVERIFY(respostas.isEmpty());
        QTRY_COMPARE(respostas, (QStringList{"1111:1", "2222:1", "3333:1"}));
        QCOMPARE(grupo.gravacoes, 1);
    }

    // [SNPP] Redes Permitidas: loopback alone by default; a bad list keeps the default.
    void redes_data() {
        QTest::addColumn<QString>("redes");
        QTest::addColumn<QString>("endereco");
        QTest::addColumn<bool>("permitido");
        QTest::newRow("padrão: a própria máquina") << ""
                                                   << "127.0.0.1" << true;
        QTest::newRow("padrão: outra máquina") << ""
                                               << "10.0.0.5" << false;
        QTest::newRow("rede IPv4 vista por IPv6") << "10.0.0.0/8, 192.168.1.7"
                                                  << "::ffff:10.1.2.3" << true;
        QTest::newRow("endereço sem prefixo é só ele") << "10.0.0.0/8 192.168.1.7"
                                                       << "192.168.1.8" << false;
        QTest::newRow("lista inválida vale o padrão") << "10.0.0.0/99"
                                                      << "10.0.0.5" << false;
    }
    void redes() {
        QFETCH(QString, redes);
        QFETCH(QString, endereco);
        QFETCH(bool, permitido);
        AmbienteDeTeste ambiente;
        GravaINI("SNPP", "Redes Permitidas", redes);
        QString problema;
        const ConfiguracaoSNPP configuracao = LeConfiguracaoSNPP(&problema);
        QCOMPARE(RedePermitida(configuracao, QHostAddress(endereco)), permitido);
        QCOMPARE(problema.contains("Redes Permitidas"), redes.contains("/99"));
    }
};

QTEST_GUILESS_MAIN(tst_SNPP)
#include "tst_SNPP.moc"
