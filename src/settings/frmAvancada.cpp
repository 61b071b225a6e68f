#include "settings/frmAvancada.h"

#include "settings/PerfilINI.h"
#include "settings/frmAreaConexao.h"
#include "ui/frmControles.h"
#include "ui/frmFigura.h"
#include "ui/frmMoldura.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
const QString SecaoDiscagem = QStringLiteral("DISCAGEM");
const QString SecaoOpcoes = QStringLiteral("OPÇÕES");
const QString Nao = QStringLiteral("Não");

QString SimOuNao(const QCheckBox* caixa) {
    return caixa->isChecked() ? QStringLiteral("Sim") : Nao;
}
} // namespace

frmAvancada::frmAvancada(QWidget* pai) : QDialog(pai) {
    setObjectName(QStringLiteral("frmAvancada"));
    TornaSemMoldura(this);
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        CriaPainelDeTitulo(this, QStringLiteral("Opções Avançadas"), QStringLiteral("pnlTituloFundo")));

    QFrame* pnlFundo = CriaPainelDeFundo(this);
    auto* fundo = new QHBoxLayout(pnlFundo);
    auto* pnlFundoLogo = new QWidget(pnlFundo);
    pnlFundoLogo->setObjectName(QStringLiteral("pnlFundoLogo"));
    auto* logo = new QVBoxLayout(pnlFundoLogo);
    auto* Image1 = new QLabel(pnlFundoLogo);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(FiguraSvg(QStringLiteral(":/ui/imagens/logo.svg"), QSize(150, 60)));
    logo->addWidget(Image1);
    logo->addStretch();
    fundo->addWidget(pnlFundoLogo);
    m_areas = new QVBoxLayout;
    fundo->addLayout(m_areas, 1);
    layout->addWidget(pnlFundo);
    MontaAreaDiscagem();
    MontaAreaInicio();
    m_fraConexao = new frmAreaConexao(this);
    m_areas->addWidget(m_fraConexao);

    auto* rodape = new QHBoxLayout;
    auto* imgSetaApontaDica = new QLabel(this);
    imgSetaApontaDica->setObjectName(QStringLiteral("imgSetaApontaDica"));
    imgSetaApontaDica->setPixmap(FiguraSvg(QStringLiteral(":/settings/imagens/seta.svg"), QSize(24, 24)));
    rodape->addWidget(imgSetaApontaDica);
    rodape->addWidget(CriaPainelDeTexto(this,
                                        QStringLiteral("Bipvox - estas opções valem a partir da próxima "
                                                       "discagem e do próximo início do programa."),
                                        QStringLiteral("pnlDica")),
                      1);
    auto* cmdOkay = new QPushButton(QStringLiteral("Ok"), this);
    cmdOkay->setObjectName(QStringLiteral("cmdOkay"));
    cmdOkay->setDefault(true);
    connect(cmdOkay, &QPushButton::clicked, this, &frmAvancada::cmdOkay_Click);
    rodape->addWidget(cmdOkay);
    layout->addLayout(rodape);

    CentralizaSobre(this, pai);
}

void frmAvancada::MontaAreaDiscagem() {
    auto* area = new QGroupBox(QStringLiteral("Discagem"), this);
    area->setObjectName(QStringLiteral("fraDiscagem"));
    auto* campos = new QVBoxLayout(area);
    m_chkPABX = new QCheckBox(QStringLiteral("Utilizar discagem para telefones com PABX ou similares"), area);
    m_chkPABX->setObjectName(QStringLiteral("chkPABX"));
    campos->addWidget(m_chkPABX);
    auto* prefixo = new QHBoxLayout;
    m_txtPrefixo = new QLineEdit(area);
    m_txtPrefixo->setObjectName(QStringLiteral("txtPrefixo"));
    m_txtPrefixo->setMaximumWidth(80);
    // The settings file keeps at most 99 characters of a value.
    m_txtPrefixo->setMaxLength(99);
    prefixo->addWidget(CriaRotulo(area, QStringLiteral("Prefixo para liberar a linha:"),
                                  QStringLiteral("pnlMsg"), m_txtPrefixo),
                       1);
    prefixo->addWidget(m_txtPrefixo);
    campos->addLayout(prefixo);
    m_areas->addWidget(area);
}

void frmAvancada::MontaAreaInicio() {
    auto* area = new QGroupBox(QStringLiteral("Início do programa"), this);
    area->setObjectName(QStringLiteral("fraInicio"));
    auto* campos = new QVBoxLayout(area);
    m_chkAutoEnviar =
        new QCheckBox(QStringLiteral("Exibir Janela 'Enviar Mensagens' ao iniciar o programa"), area);
    m_chkAutoEnviar->setObjectName(QStringLiteral("chkAutoEnviar"));
    campos->addWidget(m_chkAutoEnviar);
    m_areas->addWidget(area);
}

void frmAvancada::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    // Activation by another program is no reason to throw away what the person typed.
    if (!evento->spontaneous())
        Form_Activate();
}

void frmAvancada::Form_Activate() {
    m_txtPrefixo->setText(LeINI(SecaoDiscagem, QStringLiteral("PrefixoPABX"), QString()));
    m_chkPABX->setChecked(LeINI(SecaoDiscagem, QStringLiteral("PABX"), Nao) != Nao);
    m_chkAutoEnviar->setChecked(LeINI(SecaoOpcoes, QStringLiteral("AutoEnviar"), Nao) != Nao);
    m_fraConexao->Preenche();
}

void frmAvancada::cmdOkay_Click() {
    // A connection field that cannot be used keeps the dialog open and writes nothing.
    if (!m_fraConexao->Valida())
        return;
    GravaINI(SecaoDiscagem, QStringLiteral("PrefixoPABX"), m_txtPrefixo->text());
    GravaINI(SecaoDiscagem, QStringLiteral("PABX"), SimOuNao(m_chkPABX));
    GravaINI(SecaoOpcoes, QStringLiteral("AutoEnviar"), SimOuNao(m_chkAutoEnviar));
    m_fraConexao->Grava();
    accept();
}
