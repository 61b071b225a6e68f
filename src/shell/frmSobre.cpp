#include "shell/frmSobre.h"

#include "common/Modulo.h"
#include "ui/frmFigura.h"
#include "ui/frmMensagem.h"
#include "ui/frmMoldura.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmSobre::frmSobre(QWidget* pai) : QDialog(pai) {
    setObjectName(QStringLiteral("frmSobre"));
    TornaSemMoldura(this);
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        CriaPainelDeTitulo(this, QStringLiteral("Sobre o Programa"), QStringLiteral("pnlTituloFundo")));
    QFrame* pnlFundo = CriaPainelDeFundo(this);
    auto* fundo = new QHBoxLayout(pnlFundo);
    auto* imgLogo = new QLabel(pnlFundo);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(FiguraSvg(QStringLiteral(":/ui/imagens/logo.svg"), QSize(200, 80)));
    fundo->addWidget(imgLogo, 0, Qt::AlignTop);
    m_pnlMsg = CriaPainelDeTexto(pnlFundo, QString(), QStringLiteral("pnlMsg"));
    m_pnlMsg->setMinimumWidth(360);
    m_pnlMsg->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    fundo->addWidget(m_pnlMsg, 1);
    layout->addWidget(pnlFundo);

    auto* rodape = new QHBoxLayout;
    rodape->addWidget(CriaPainelDeTexto(this,
                                        Modulo::NomeDoPrograma + QLatin1Char(' ') + Modulo::VersaoDoPrograma +
                                            QStringLiteral(" - envio de mensagens para pagers."),
                                        QStringLiteral("pnlDica")),
                      1);
    auto* cmdOkay = new QPushButton(QStringLiteral("Ok"), this);
    cmdOkay->setObjectName(QStringLiteral("cmdOkay"));
    cmdOkay->setDefault(true);
    connect(cmdOkay, &QPushButton::clicked, this, &frmSobre::cmdOkay_Click);
    rodape->addWidget(cmdOkay);
    layout->addLayout(rodape);

    Form_Load();
    CentralizaSobre(this, pai);
}

void frmSobre::Form_Load() {
    const QString CR = Modulo::CR;
    const QString texto =
        QStringLiteral("Projeto e programação: equipe do projeto Bipvox.") + CR +
        QStringLiteral("O Bipvox é desenvolvido e mantido pela equipe do projeto Bipvox.") + CR +
        QStringLiteral("O suporte técnico é dado pela equipe do projeto; use somente cópias obtidas "
                       "do projeto e de acordo com a sua licença: cópias ilegais são proibidas.") +
        CR +
        QStringLiteral("Suporte: leia o README do projeto e registre dúvidas e erros no rastreador de "
                       "issues do projeto.");
    m_pnlMsg->setText(QuebrasDeLinha(texto));
    m_pnlMsg->setAccessibleName(m_pnlMsg->text());
}

void frmSobre::cmdOkay_Click() {
    accept();
}
