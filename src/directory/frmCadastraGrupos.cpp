#include "directory/frmCadastraGrupos.h"

#include "directory/FalhaNoBanco.h"
#include "ui/frmCaixaDeTexto.h"
#include "ui/frmControles.h"
#include "ui/frmMoldura.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString NovoGrupo = QStringLiteral("-");
constexpr int TamanhoDoNome = 15;
constexpr int TamanhoDaDescricao = 50;
} // namespace

frmCadastraGrupos::frmCadastraGrupos(Operador& operador, QWidget* pai) : QDialog(pai), m_operador(operador) {
    setObjectName(QStringLiteral("frmCadastraGrupos"));
    TornaSemMoldura(this);
    setModal(true);

    auto* raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(2, 2, 2, 2);
    raiz->addWidget(
        CriaPainelDeTitulo(this, QStringLiteral("Cadastro dos Grupos"), QStringLiteral("pnlTituloFundo")));
    QFrame* pnlFundo = CriaPainelDeFundo(this);
    raiz->addWidget(pnlFundo);
    auto* fundo = new QVBoxLayout(pnlFundo);

    m_pnlId = new QLabel(NovoGrupo, pnlFundo);
    m_pnlId->setObjectName(QStringLiteral("pnlId"));
    m_pnlId->setVisible(false);

    m_txtNomeGrupo = new QLineEdit(pnlFundo);
    m_txtNomeGrupo->setObjectName(QStringLiteral("txtNomeGrupo"));
    m_txtNomeGrupo->setMaxLength(TamanhoDoNome);
    fundo->addWidget(
        CriaRotulo(pnlFundo, QStringLiteral("Nome do Grupo:"), QStringLiteral("pnlMsg0"), m_txtNomeGrupo));
    fundo->addWidget(m_txtNomeGrupo);

    m_txtDescricaoGrupo = new frmCaixaDeTexto(pnlFundo);
    m_txtDescricaoGrupo->setObjectName(QStringLiteral("txtDescricaoGrupo"));
    m_txtDescricaoGrupo->setMaxLength(TamanhoDaDescricao);
    m_txtDescricaoGrupo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtDescricaoGrupo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_txtDescricaoGrupo->setTabChangesFocus(true);
    m_txtDescricaoGrupo->setFixedHeight(64);
    fundo->addWidget(CriaRotulo(pnlFundo, QStringLiteral("Descrição do Grupo:"), QStringLiteral("pnlMsg1"),
                                m_txtDescricaoGrupo));
    fundo->addWidget(m_txtDescricaoGrupo);

    auto* botoes = new QHBoxLayout;
    botoes->addStretch(1);
    QToolButton* cmdCadastrarGrupo = CriaBotaoDeFigura(pnlFundo, QStringLiteral("cmdCadastrarGrupo"),
                                                       QStringLiteral(":/directory/imagens/grupo_gravar.svg"),
                                                       QStringLiteral("Grava os Dados e Retorna"));
    connect(cmdCadastrarGrupo, &QToolButton::clicked, this, &frmCadastraGrupos::cmdCadastrarGrupo_Click);
    QToolButton* cmdRetornar = CriaBotaoDeFigura(pnlFundo, QStringLiteral("cmdRetornar"),
                                                 QStringLiteral(":/directory/imagens/grupo_retornar.svg"),
                                                 QStringLiteral("Retorna Sem Gravar"));
    connect(cmdRetornar, &QToolButton::clicked, this, &frmCadastraGrupos::cmdRetornar_Click);
    botoes->addWidget(cmdCadastrarGrupo);
    botoes->addWidget(cmdRetornar);
    fundo->addLayout(botoes);

    setTabOrder(m_txtNomeGrupo, m_txtDescricaoGrupo);
    setTabOrder(m_txtDescricaoGrupo, cmdCadastrarGrupo);
    setTabOrder(cmdCadastrarGrupo, cmdRetornar);
    m_txtNomeGrupo->setFocus();
    setMinimumWidth(340);
    CentralizaSobre(this, pai);
}

void frmCadastraGrupos::PreencheParaAlterar(const Grupo& grupo) {
    m_lido = grupo;
    m_txtNomeGrupo->setText(grupo.nome);
    m_txtDescricaoGrupo->setPlainText(grupo.descricao);
    m_pnlId->setText(QString::number(grupo.id));
}

bool frmCadastraGrupos::ModoNovo() const {
    return m_pnlId->text() == NovoGrupo;
}

void frmCadastraGrupos::cmdCadastrarGrupo_Click() {
    if (m_txtNomeGrupo->text().isEmpty()) {
        m_operador.Mensagem(
            QStringLiteral(
                "Desculpe, mas para criar ou atualizar um grupo é indispensável que este possua um nome."),
            QStringLiteral("Advertência:"), Icone::Informacao);
        m_txtNomeGrupo->setFocus();
        return;
    }
    if (m_txtDescricaoGrupo->toPlainText().isEmpty())
        m_txtDescricaoGrupo->setPlainText(QStringLiteral("Não há descrição para este grupo."));

    Grupo grupo{ModoNovo() ? 0 : m_pnlId->text().toInt(), m_txtNomeGrupo->text(),
                m_txtDescricaoGrupo->toPlainText()};
    QString erro;
    Gravacao gravacao;
    {
        const AmpulhetaLigada ampulheta(m_operador);
        gravacao = GravaGrupo(grupo, m_lido, &erro);
    }
    if (gravacao == Gravacao::ExcluidoNoutraMesa) {
        InformaOutraMesa(m_operador, QStringLiteral("Este grupo foi excluído em outra mesa enquanto você o "
                                                    "editava, então nada foi gravado (ele não foi recriado). "
                                                    "A lista de grupos foi atualizada."));
        QDialog::reject(); // the window below lists the groups again
        return;
    }
    if (gravacao == Gravacao::AlteradoNoutraMesa) {
        InformaOutraMesa(
            m_operador,
            QStringLiteral("Este grupo foi alterado em outra mesa enquanto você o editava. Para não "
                           "desfazer aquela alteração, a sua não foi gravada; nada se perdeu. A "
                           "ficha mostra agora o grupo como está no cadastro: confira e, se ainda "
                           "for preciso, altere de novo."));
        Grupo agora;
        if (LeGrupo(grupo.id, agora))
            PreencheParaAlterar(agora);
        return;
    }
    if (gravacao == Gravacao::NomeRepetido) {
        m_operador.Mensagem(
            QStringLiteral("Desculpe, mas você não deve possuir dois grupos de usuários com o mesmo nome."),
            QStringLiteral("Erro:"), Icone::Informacao);
        m_txtNomeGrupo->setFocus();
        return;
    }
    if (gravacao == Gravacao::Falhou) {
        // The dialog stays open with what was typed, so nothing is lost.
        InformaFalhaNoBanco(m_operador, QStringLiteral("gravar o grupo"), erro);
        return;
    }
    accept();
}

void frmCadastraGrupos::cmdRetornar_Click() {
    if (ModoNovo() && !m_txtNomeGrupo->text().isEmpty() &&
        m_operador.Mensagem(
            QStringLiteral("Você realmente deseja cancelar este procedimento? Os dados não serão salvos."),
            QStringLiteral("Atenção:"), Icone::Pergunta, Botoes::SimNao) != Resposta::Sim)
        return;
    QDialog::reject();
}

void frmCadastraGrupos::reject() {
    cmdRetornar_Click();
}
