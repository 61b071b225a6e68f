#include "settings/frmConfigModem.h"

#include "common/Modulo.h"
#include "common/Numero.h"
#include "settings/PerfilINI.h"
#include "ui/frmFigura.h"
#include "ui/frmMoldura.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmConfigModem::frmConfigModem(QWidget* pai) : QDialog(pai) {
    setObjectName(QStringLiteral("frmConfigModem"));
    TornaSemMoldura(this);
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        CriaPainelDeTitulo(this, QStringLiteral("Configurações do Modem"), QStringLiteral("pnlTituloFundo")));

    auto* pnlFundo = new QWidget(this);
    pnlFundo->setObjectName(QStringLiteral("pnlFundo"));
    auto* fundo = new QHBoxLayout(pnlFundo);
    auto* pnlFundoLogo = new QWidget(pnlFundo);
    pnlFundoLogo->setObjectName(QStringLiteral("pnlFundoLogo"));
    auto* logo = new QVBoxLayout(pnlFundoLogo);
    auto* Image1 = new QLabel(pnlFundoLogo);
    Image1->setPixmap(FiguraSvg(QStringLiteral(":/ui/imagens/logo.svg"), QSize(150, 60)));
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(150, 60);
    logo->addWidget(Image1);
    logo->addStretch();
    fundo->addWidget(pnlFundoLogo);

    auto* campos = new QVBoxLayout;
    auto* fraPortaSerial = new QGroupBox(QStringLiteral("Porta Serial:"), pnlFundo);
    fraPortaSerial->setObjectName(QStringLiteral("fraPortaSerial"));
    auto* portas = new QHBoxLayout(fraPortaSerial);
    for (int i = 0; i < 4; ++i) {
        m_optCom[i] = new QRadioButton(QStringLiteral("COM %1").arg(i + 1), fraPortaSerial);
        m_optCom[i]->setObjectName(QStringLiteral("optCom%1").arg(i + 1));
        portas->addWidget(m_optCom[i]);
    }
    campos->addWidget(fraPortaSerial);

    auto* fraTipoDiscagem =
        new QGroupBox(QStringLiteral("Tipo de Discagem (Se não souber, deixe como Pulso):"), pnlFundo);
    fraTipoDiscagem->setObjectName(QStringLiteral("fraTipoDiscagem"));
    auto* tipos = new QHBoxLayout(fraTipoDiscagem);
    m_optDiscagemTom = new QRadioButton(QStringLiteral("Tom"), fraTipoDiscagem);
    m_optDiscagemTom->setObjectName(QStringLiteral("optDiscagemTom"));
    m_optDiscagemPulso = new QRadioButton(QStringLiteral("Pulso"), fraTipoDiscagem);
    m_optDiscagemPulso->setObjectName(QStringLiteral("optDiscagemPulso"));
    tipos->addWidget(m_optDiscagemTom);
    tipos->addWidget(m_optDiscagemPulso);
    campos->addWidget(fraTipoDiscagem);

    auto* prefixo = new QHBoxLayout;
    QLabel* pnlMsg = CriaPainelDeTexto(pnlFundo, QStringLiteral(" Qual o código DDD da sua cidade?"),
                                       QStringLiteral("pnlMsg"));
    m_txtPrefixo = new QLineEdit(pnlFundo);
    m_txtPrefixo->setObjectName(QStringLiteral("txtPrefixo"));
    m_txtPrefixo->setMaximumWidth(80);
    pnlMsg->setBuddy(m_txtPrefixo);
    m_txtPrefixo->setAccessibleName(pnlMsg->text().trimmed());
    prefixo->addWidget(pnlMsg, 1);
    prefixo->addWidget(m_txtPrefixo);
    campos->addLayout(prefixo);
    fundo->addLayout(campos, 1);
    layout->addWidget(pnlFundo);

    auto* rodape = new QHBoxLayout;
    QLabel* pnlDica = CriaPainelDeTexto(
        this, QStringLiteral("Bipvox - se não souber estes dados, consulte o manual do seu modem."),
        QStringLiteral("pnlDica"));
    rodape->addWidget(pnlDica, 1);
    auto* cmdOkay = new QPushButton(QStringLiteral("Ok"), this);
    cmdOkay->setObjectName(QStringLiteral("cmdOkay"));
    cmdOkay->setDefault(true);
    connect(cmdOkay, &QPushButton::clicked, this, &frmConfigModem::cmdOkay_Click);
    rodape->addWidget(cmdOkay);
    layout->addLayout(rodape);

    CentralizaSobre(this, pai);
}

void frmConfigModem::PreencheDoArquivo() {
    const QString porta =
        LeINI(QStringLiteral("MODEM"), QStringLiteral("Porta Serial"), QStringLiteral("VAZIO"));
    for (int i = 0; i < 4; ++i)
        if (porta == QString::number(i + 1))
            m_optCom[i]->setChecked(true);
    const QString linha = LeINI(QStringLiteral("DISCAGEM"), QStringLiteral("Linha"), QStringLiteral("Tom"));
    if (linha == QLatin1String("Tom"))
        m_optDiscagemTom->setChecked(true);
    else if (linha == QLatin1String("Pulso"))
        m_optDiscagemPulso->setChecked(true);
    m_txtPrefixo->setText(
        LeINI(QStringLiteral("DISCAGEM"), QStringLiteral("Prefixo"), QStringLiteral("011")));
}

void frmConfigModem::cmdOkay_Click() {
    QString porta;
    for (int i = 0; i < 4; ++i)
        if (m_optCom[i]->isChecked())
            porta = QString::number(i + 1);
    GravaINI(QStringLiteral("MODEM"), QStringLiteral("Porta Serial"), porta);
    QString linha;
    if (m_optDiscagemTom->isChecked())
        linha = QStringLiteral("Tom");
    if (m_optDiscagemPulso->isChecked())
        linha = QStringLiteral("Pulso");
    GravaINI(QStringLiteral("DISCAGEM"), QStringLiteral("Linha"), linha);
    Modulo::PortaModem = ValorInteiro16(porta);
    GravaINI(QStringLiteral("DISCAGEM"), QStringLiteral("Prefixo"), m_txtPrefixo->text());
    accept();
}
