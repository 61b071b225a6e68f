// The settings file and its dialogs: profile rules, Windows-1252 on disk, text editors' UTF-8,
// damaged files, the device behind each COM number; the dialogs filled from the file when shown,
// written only by "Ok" (the connection area only with what the operator changed, and only when it
// can be used), and read again by the next dialling.
#include "AmbienteDeTeste.h"
#include "TabelaDeTeste.h"
#include "common/Modulo.h"
#include "common/Win1252.h"
#include "modem/Discagem.h"
#include "settings/Conexao.h"
#include "settings/DispositivoDaPorta.h"
#include "settings/PerfilINI.h"
#include "settings/frmAreaConexao.h"
#include "settings/frmAvancada.h"
#include "settings/frmConfigModem.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTimer>
#include <QtTest>

namespace {
// A settings file in Windows-1252 from its lines, each ended by ';'.
QByteArray Arquivo(const QString& linhas) {
    return ParaWin1252(QString(linhas).replace(QLatin1Char(';'), QStringLiteral("\r\n")));
}

// Marks a row whose file does not exist.
const QByteArray kSemArquivo("<sem arquivo>");

struct Leitura {
    const char* nome;
    QByteArray conteudo;
    const char *secao, *chave, *padrao, *esperado;
};

struct Gravacao {
    const char* nome;
    QByteArray antes;
    const char *secao, *chave, *valor;
    QByteArray depois;
};
const QByteArray kModem("[MODEM]\r\nPorta Serial=2\r\n\r\n[DISCAGEM]\r\nLinha=Tom\r\nPrefixoPABX=\r\n");
const QByteArray kX150(150, 'x');
const Leitura kLeituras[] = {
    {"sem arquivo", kSemArquivo, "MODEM", "Porta Serial", "VAZIO", "VAZIO"},
    {"seção minúscula", kModem, "modem", " Porta Serial ", "", "2"},
    {"acentos sem caixa", ParaWin1252("[OPÇÕES]\r\nAutoEnviar=Sim\r\n"), "opções", "AUTOENVIAR", "Não",
     "Sim"},
    {"brancos em volta", "  [ MODEM ]  \r\n  Porta Serial \t=  3 \t\x1a\r\n", "MODEM", "Porta Serial", "",
     "3"},
    {"aspas simples", "[A]\nB='z'\n", "A", "B", "", "z"},
    {"aspas diferentes", "[A]\nB='z\"\n", "A", "B", "", "'z\""},
    {"NUL termina o valor", QByteArray("[A]\nB=ab\0cd\n", 12), "A", "B", "", "ab"},
    {"valor de 150 vira 99", "[A]\r\nB=" + kX150 + "\r\n", "A", "B", "", nullptr},
    {"padrão de 150 vira 99", QByteArray(), "A", "B", kX150.constData(), nullptr},
    {"padrão perde brancos ao fim", QByteArray(), "A", "B", " abc  ", " abc"},
    {"colchete mais à direita", "[a]b]\nC=1\n", "a]b", "C", "-", "1"},
    {"UTF-8", "[LISTAGEM]\nOp\xc3\xa7\xc3\xa3o=Usu\xc3\xa1rio\n", "LISTAGEM", "Opção", "", "Usuário"},
    {"BOM e UTF-8 inválido", "\xef\xbb\xbf[A]\r\nB=N\xe3o\r\nC=1\r\n", "A", "C", "-", "1"},
    {"Windows-1252", "[DISCAGEM]\nPABX=N\xe3o\nE=\x80 10\n", "DISCAGEM", "E", "", "€ 10"},
};

const QByteArray kCheio("; Bipvox\r\n[modem]\r\nPORTA SERIAL = 2\r\n\r\n[DISCAGEM]\r\nLinha=Tom\r\n\r\n");
const QByteArray kQuase = "[A]\r\nB=1\r\n;" + QByteArray(TamanhoMaximoDoINI - 20, 'x') + "\r\n";
const QByteArray kYs(50, 'y');
const Gravacao kGravacoes[] = {
    {"cria o arquivo", kSemArquivo, "OPÇÕES", "AutoEnviar", "Não", Arquivo("[OPÇÕES];AutoEnviar=Não;")},
    {"troca no lugar", kCheio, "MODEM", "Porta Serial", "3",
     "; Bipvox\r\n[modem]\r\nPORTA SERIAL = 3\r\n\r\n[DISCAGEM]\r\nLinha=Tom\r\n\r\n"},
    {"chave nova antes dos brancos", kCheio, "MODEM", "Inicialização", "AT&F",
     ParaWin1252("; Bipvox\r\n[modem]\r\nPORTA SERIAL = "
                 "2\r\nInicialização=AT&F\r\n\r\n[DISCAGEM]\r\nLinha=Tom\r\n\r\n")},
    {"LF fica LF, sem fim de linha", "[A]\nB=1", "A", "C", "2", "[A]\nB=1\nC=2\n"},
    {"quebra corta o valor", kSemArquivo, "A", "B", "1\r\n[MODEM]\r\nPorta Serial=9", "[A]\r\nB=1\r\n"},
    {"aspas e fora do Windows-1252", kSemArquivo, "A", "B", "O'Brien \"x\" 中€",
     "[A]\r\nB=O'Brien \"x\" ?\x80\r\n"},
    // A text editor's UTF-8 file stays UTF-8, its mark included; leading blanks kept once.
    {"UTF-8 com BOM continua UTF-8", "\xef\xbb\xbf; Configurações\n[OPÇÕES]\nAutoEnviar=Não\n", "OPÇÕES",
     "AutoEnviar", "Sim", "\xef\xbb\xbf; Configurações\n[OPÇÕES]\nAutoEnviar=Sim\n"},
    {"UTF-8 continua UTF-8", "[A]\nB=ç\n", "A", "C", "ã", "[A]\nB=ç\nC=ã\n"},
    {"Win-1252 continua Win-1252", "[A]\r\nB=\xff\r\nC=\xc3\xa7\r\n", "A", "B", "x",
     "; Codifica\xe7\xe3o: Windows-1252\r\n[A]\r\nB=x\r\nC=\xc3\xa7\r\n"},
    {"passaria do limite", kQuase, "A", "C", kYs.constData(), kQuase},
};
} // namespace

class tst_Configuracao : public QObject {
    Q_OBJECT
private slots:
    void leitura_data() { Linhas(kLeituras); }
    void leitura() {
        const Leitura& l = LinhaAtual(kLeituras);
        AmbienteDeTeste ambiente;
        if (l.conteudo != kSemArquivo)
            ambiente.EscreveINI(l.conteudo);
        QCOMPARE(LeINI(l.secao, l.chave, l.padrao), l.esperado ? QString(l.esperado) : QString(99, 'x'));
        QCOMPARE(QFile::exists(CaminhoDoINI()), l.conteudo != kSemArquivo); // reading never writes
    }

    void gravacao_data() { Linhas(kGravacoes); }
    void gravacao() {
        const Gravacao& g = LinhaAtual(kGravacoes);
        AmbienteDeTeste ambiente;
        if (g.antes != kSemArquivo)
            ambiente.EscreveINI(g.antes);
        GravaINI(g.secao, g.chave, g.valor);
        QCOMPARE(ambiente.LeINIBruto(), g.depois);
        QCOMPARE(QDir(QFileInfo(CaminhoDoINI()).path()).entryList(QDir::Files), QStringList{"Bipvoxcf.INI"});
    }

    // Nothing readable in it, and still nothing lost: the new key goes after the old bytes.
    void arquivoDanificado() {
        QRandomGenerator gerador(1252);
        QByteArray lixo(64 * 1024, Qt::Uninitialized);
        for (char& c : lixo)
            c = static_cast<char>(gerador.bounded(256));
        AmbienteDeTeste ambiente;
        ambiente.EscreveINI(lixo);
        QCOMPARE(LeINI("MODEM", "Porta Serial", "VAZIO"), QStringLiteral("VAZIO"));
        GravaINI("OPÇÕES", "AutoEnviar", "Sim");
        QCOMPARE(LeINI("OPÇÕES", "AutoEnviar", QString()), QStringLiteral("Sim"));
        QVERIFY(ambiente.LeINIBruto().startsWith(lixo));
    }

    // COM0 to COM6: the device named in the file, else /dev/ttyS0 to ttyS3 for COM1 to COM4.
    void dispositivoDaPorta() {
        AmbienteDeTeste ambiente;
        ambiente.EscreveINI(
            "[MODEM]\r\nPorta Serial=1\r\ncom2 = /dev/pts/7\r\nCOM5=/dev/ttyUSB0\r\nCOM3=\r\n");
        QStringList dispositivos;
        for (qint16 numero = 0; numero <= 6; ++numero)
            dispositivos << DispositivoDaPorta(numero);
        QCOMPARE(dispositivos.join(' '), " /dev/ttyS0 /dev/pts/7 /dev/ttyS2 /dev/ttyS3 /dev/ttyUSB0 ");
    }

    // The rows below write a settings file as its lines, each ended by ';'.
    void avancada_data() {
        // file|prefix:PABX box,AutoEnviar box as filled|"ok", "esc", or "ok:PREFIX" after ticking
        // both boxes|file afterwards (empty: unchanged)|the next dial line
        QTest::addColumn<QString>("caso");
        QTest::newRow("sem arquivo, Ok cria as três chaves em ordem")
            << "|:00|ok|[DISCAGEM];PrefixoPABX=;PABX=Não;[OPÇÕES];AutoEnviar=Não;|ATDP W3311-2400\r";
        QTest::newRow("Sim marca")
            << "[DISCAGEM];PABX=Sim;PrefixoPABX=0;[OPÇÕES];AutoEnviar=Sim;|0:11|esc||ATX3DP "
               "0W3311-2400\r";
        QTest::newRow("sim minúsculo marca, mas não é Sim para a discagem")
            << "[DISCAGEM];PABX=sim;[OPÇÕES];AutoEnviar=x;|:11|esc||ATDP 3311-2400\r";
        QTest::newRow("Não desmarca; Ok com as caixas marcadas grava Sim")
            << "[DISCAGEM];PABX=Não;PrefixoPABX=9;[OPÇÕES];AutoEnviar=Não;|9:00|ok:00|[DISCAGEM];PABX=Sim;"
               "PrefixoPABX=00;[OPÇÕES];AutoEnviar=Sim;|ATX3DP 00W3311-2400\r";
    }
    void avancada() {
        const QStringList c = CamposDoCaso();
        AmbienteDeTeste ambiente;
        if (!c[0].isEmpty())
            ambiente.EscreveINI(Arquivo(c[0]));
        const QByteArray antes = ambiente.LeINIBruto();
        frmAvancada dialogo;
        auto* txtPrefixo = dialogo.findChild<QLineEdit*>("txtPrefixo");
        auto* chkPABX = dialogo.findChild<QCheckBox*>("chkPABX");
        auto* chkAutoEnviar = dialogo.findChild<QCheckBox*>("chkAutoEnviar");
        txtPrefixo->setText(QStringLiteral("lixo"));
        dialogo.show();
        QCOMPARE(txtPrefixo->text() + ':' + QString::number(chkPABX->isChecked()) +
                     QString::number(chkAutoEnviar->isChecked()),
                 c[1]);
        if (c[2] == QLatin1String("esc")) {
            chkPABX->toggle();
            QTest::keyClick(&dialogo, Qt::Key_Escape);
        } else {
            if (c[2].startsWith(QLatin1String("ok:"))) {
                txtPrefixo->setText(c[2].mid(3));
                chkPABX->setChecked(true);
                chkAutoEnviar->setChecked(true);
            }
            dialogo.findChild<QPushButton*>("cmdOkay")->click();
        }
        QVERIFY(!dialogo.isVisible());
        QCOMPARE(ambiente.LeINIBruto(), c[3].isEmpty() ? antes : Arquivo(c[3]));
        QCOMPARE(MontaLinhaDeDiscagem(), c[4]);
    }

    void conexao_data() {
        // file|option and fields as filled (empty: the defaults; '*': disabled)|option ticked|fields
        // typed (configurações/endereço/porta/senha)|accepted?|file afterwards (empty: unchanged)
        QTest::addColumn<QString>("caso");
        QTest::newRow("intocada") << "||optModem|9600,e,7,1///|s|";
        QTest::newRow("TCP")
            << "||optTCP|9600,e,7,1/ 10.0.0.5 /5000/|s|[CONEXÃO];Tipo=TCP;Endereço=10.0.0.5;Porta "
               "TCP=5000;";
        QTest::newRow("direta 8N1 com senha")
            << "||optDireta|9600,n,8,1///"
               "s3nha|s|[CONEXÃO];Tipo=Direta;Senha=s3nha;[MODEM];Configurações=9600,n,8,1;";
        QTest::newRow("de volta ao modem")
            << "[CONEXÃO];Tipo=TCP;Endereço=central;Porta "
               "TCP=7000;Senha=x;|optTCP/9600,e,7,1*/central/7000/x|"
               "optModem|9600,e,7,1/central/7000/x|s|[CONEXÃO];Tipo=Modem;Endereço=central;Porta "
               "TCP=7000;Senha=x;";
        QTest::newRow("TCP sem porta") << "||optTCP|/central//||";
        QTest::newRow("senha com brancos e aspas em volta")
            << "||optDireta|9600,e,7,1/// \"s3\" |s|[CONEXÃO];Tipo=Direta;Senha=\" \"s3\" \";";
        QTest::newRow("senha fora do Windows-1252") << "||optModem|9600,e,7,1///s3✓||";
    }
    void conexao() {
        const QStringList c = CamposDoCaso();
        AmbienteDeTeste ambiente;
        if (!c[0].isEmpty())
            ambiente.EscreveINI(Arquivo(c[0]));
        frmAreaConexao area;
        area.Preenche();
        const char* nomes[] = {"txtConfiguracoes", "txtEndereco", "txtPortaTCP", "txtSenha"};
        QStringList mostrado;
        for (const char* opcao : {"optModem", "optDireta", "optTCP"})
            if (area.findChild<QRadioButton*>(opcao)->isChecked())
                mostrado << QLatin1String(opcao);
        for (const char* nome : nomes) {
            const auto* campo = area.findChild<QLineEdit*>(nome);
            mostrado << campo->text() + (campo->isEnabled() ? "" : "*");
        }
        QCOMPARE(mostrado.join('/'), c[1].isEmpty() ? QStringLiteral("optModem/9600,e,7,1/*/*/") : c[1]);
        area.findChild<QRadioButton*>(c[2])->setChecked(true);
        for (int i = 0; i < 4; ++i)
            area.findChild<QLineEdit*>(nomes[i])->setText(c[3].section('/', i, i));
        QTimer::singleShot(0, [] { // the box that explains a refused field
            if (QWidget* caixa = QApplication::activeModalWidget())
                caixa->close();
        });
        QCOMPARE(area.Valida(), !c[4].isEmpty());
        if (!c[4].isEmpty())
            area.Grava();
        QCOMPARE(ambiente.LeINIBruto(), Arquivo(c[5].isEmpty() ? c[0] : c[5]));
        // The password reads back as typed, from a file only its owner can read.
        if (!c[4].isEmpty())
            QCOMPARE(LeSenhaDeAcesso(), c[3].section('/', 3));
        const auto outros = QFileDevice::ReadGroup | QFileDevice::ReadOther;
        if (!LeSenhaDeAcesso().isEmpty())
            QCOMPARE(QFileInfo(CaminhoDoINI()).permissions() & outros, QFileDevice::Permissions());
    }

    // Filled from the file; closing writes nothing; "Ok" writes the choices and the port is the
    // one used next.
    void configModem_data() {
        QTest::addColumn<QString>("caso"); // file|options ticked|prefix shown
        QTest::newRow("COM 3, Pulso, 021")
            << "[MODEM];Porta Serial=3;[DISCAGEM];Linha=Pulso;Prefixo=021;|optCom3,optDiscagemPulso|021";
        QTest::newRow("sem arquivo") << "|optDiscagemTom|011";
        QTest::newRow("valores estranhos") << "[MODEM];Porta Serial=5;[DISCAGEM];Linha=tom;Prefixo=;||";
    }
    void configModem() {
        const QStringList c = CamposDoCaso();
        AmbienteDeTeste ambiente;
        ambiente.EscreveINI(Arquivo(c[0]));
        frmConfigModem f;
        f.PreencheDoArquivo();
        QStringList marcadas;
        for (QRadioButton* b : f.findChildren<QRadioButton*>())
            if (b->isChecked())
                marcadas << b->objectName();
        marcadas.sort();
        QCOMPARE(marcadas.join(','), c[1]);
        QCOMPARE(f.findChild<QLineEdit*>("txtPrefixo")->text(), c[2]);
        f.findChild<QRadioButton*>("optCom2")->setChecked(true);
        f.reject();
        QCOMPARE(ambiente.LeINIBruto(), Arquivo(c[0]));
        f.findChild<QRadioButton*>("optDiscagemTom")->setChecked(true);
        f.findChild<QLineEdit*>("txtPrefixo")->setText(QStringLiteral(" 21x"));
        Modulo::PortaModem = 0;
        QTest::mouseClick(f.findChild<QPushButton*>("cmdOkay"), Qt::LeftButton);
        QCOMPARE(LeINI("MODEM", "Porta Serial", "VAZIO"), QStringLiteral("2"));
        QCOMPARE(LeINI("DISCAGEM", "Linha", "VAZIO"), QStringLiteral("Tom"));
        QVERIFY(ambiente.LeINIBruto().contains("Prefixo= 21x\r\n"));
        QCOMPARE(Modulo::PortaModem, qint16(2));
        QCOMPARE(f.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(tst_Configuracao)
#include "tst_Configuracao.moc"
