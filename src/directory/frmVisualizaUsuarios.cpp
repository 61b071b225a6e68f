#include "directory/frmVisualizaUsuarios.h"

#include "directory/VisualizacaoDeUsuarios.h"
#include "directory/frmCadastraUsuarios.h"
#include "history/frmHistorico.h"
#include "store/BancoDeDados.h"
#include "ui/frmControles.h"
#include "ui/frmListaDeNomes.h"
#include "ui/frmMoldura.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString Pronto = QStringLiteral(" Pronto");
constexpr int MinCodigosDosUsuarios = 5000;
} // namespace

frmVisualizaUsuarios::frmVisualizaUsuarios(Operador& operador, QMdiArea* areaDoHistorico, QWidget* pai)
    : QDialog(pai), m_operador(operador), m_areaDoHistorico(areaDoHistorico) {
    setObjectName(QStringLiteral("frmVisualizaUsuarios"));
    TornaSemMoldura(this);
    setModal(true);

    auto* raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(2, 2, 2, 2);
    raiz->addWidget(
        CriaPainelDeTitulo(this, QStringLiteral("Visualizando Usuários"), QStringLiteral("pnlTitulo")));
    QFrame* pnlFundo = CriaPainelDeFundo(this);
    raiz->addWidget(pnlFundo);
    auto* fundo = new QVBoxLayout(pnlFundo);

    m_cmbUsuario = new QComboBox(pnlFundo);
    m_cmbUsuario->setObjectName(QStringLiteral("cmbUsuario"));
    m_cmbUsuario->setAccessibleName(QStringLiteral("Usuário"));
    PreparaListaGrande(m_cmbUsuario);
    m_cmbUsuario->setMaxVisibleItems(16);
    connect(m_cmbUsuario, &QComboBox::currentIndexChanged, this, &frmVisualizaUsuarios::cmbUsuario_Click);
    fundo->addWidget(m_cmbUsuario);

    m_pnlDescricaoGrupo =
        CriaPainelDeTexto(pnlFundo, SemUsuariosCadastrados, QStringLiteral("pnlDescricaoGrupo"));
    m_pnlDescricaoGrupo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_pnlDescricaoGrupo->setMinimumSize(380, m_pnlDescricaoGrupo->fontMetrics().lineSpacing() * 5 + 8);
    m_pnlDescricaoGrupo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_pnlDescricaoGrupo->setFocusPolicy(Qt::StrongFocus);
    fundo->addWidget(CriaRotulo(pnlFundo, QStringLiteral("Descrição do Usuário:"),
                                QStringLiteral("lblDescricao"), m_pnlDescricaoGrupo));
    fundo->addWidget(m_pnlDescricaoGrupo, 1);

    auto* botoes = new QHBoxLayout;
    auto* cmdHistorico = new QPushButton(QStringLiteral("E&xibir Histórico"), pnlFundo);
    cmdHistorico->setObjectName(QStringLiteral("cmdHistorico"));
    cmdHistorico->setToolTip(
        QStringLiteral("Exibe histórico com as mensagens enviadas a este determinado usuário ..."));
    cmdHistorico->setAutoDefault(false);
    connect(cmdHistorico, &QPushButton::clicked, this, &frmVisualizaUsuarios::cmdHistorico_Click);
    botoes->addWidget(cmdHistorico);
    botoes->addStretch(1);
    struct Botao {
        const char* nome;
        const char* figura;
        QString dica;
        void (frmVisualizaUsuarios::*acao)();
    };
    const Botao lista[] = {
        {"cmdAlterarGrupo", "alterar",
         QStringLiteral("Altera as informações sobre este determinado usuário ..."),
         &frmVisualizaUsuarios::cmdAlterarGrupo_Click},
        {"cmdCadastrarGrupo", "novo", QStringLiteral("Cadastra um novo usuário"),
         &frmVisualizaUsuarios::cmdCadastrarGrupo_Click},
        {"cmdExcluirGrupo", "excluir", QStringLiteral("Remove usuário do cadastro ..."),
         &frmVisualizaUsuarios::cmdExcluirGrupo_Click},
        {"cmdRetornar", "retornar", QStringLiteral("Clique aqui para retornar ..."),
         &frmVisualizaUsuarios::cmdRetornar_Click},
    };
    QWidget* anterior = cmdHistorico;
    setTabOrder(m_cmbUsuario, m_pnlDescricaoGrupo);
    setTabOrder(m_pnlDescricaoGrupo, cmdHistorico);
    for (const Botao& b : lista) {
        QToolButton* botao = CriaBotaoDeFigura(
            pnlFundo, QLatin1String(b.nome),
            QStringLiteral(":/directory/imagens/%1.svg").arg(QLatin1String(b.figura)), b.dica);
        connect(botao, &QToolButton::clicked, this, b.acao);
        botoes->addWidget(botao);
        setTabOrder(anterior, botao);
        anterior = botao;
    }
    fundo->addLayout(botoes);

    m_cmbUsuario->setFocus();
    Form_Load();
    CentralizaSobre(this, pai);
}

void frmVisualizaUsuarios::Form_Load() {
    if (AtualizaListaDeUsuarios())
        ExibeInfoUsuario();
}

bool frmVisualizaUsuarios::AtualizaListaDeUsuarios(qint32 manter) {
    m_codigosDosUsuarios.fill(0, MinCodigosDosUsuarios + 1);
    m_preenchendo = true;
    PreencheNomes(m_cmbUsuario, {});
    const ListaDeNomes usuarios = LeUsuariosEmOrdem();
    if (!usuarios.erro.isEmpty()) {
        m_preenchendo = false;
        m_operador.Mensagem(
            QStringLiteral("Não foi possível ler o cadastro de usuários %1.\n\n(%2)")
                .arg(NoBancoDeDados(QStringLiteral("ele pode estar danificado")), usuarios.erro),
            QStringLiteral("Erro:"), Icone::Informacao);
        return false;
    }
    if (usuarios.ids.size() > MinCodigosDosUsuarios)
        m_codigosDosUsuarios.resize(usuarios.ids.size() + 1);
    std::copy(usuarios.ids.cbegin(), usuarios.ids.cend(), m_codigosDosUsuarios.begin() + 1);
    PreencheNomes(m_cmbUsuario, usuarios.nomes, usuarios.IndiceDoId(manter));
    m_preenchendo = false;
    return !usuarios.Vazia();
}

qint32 frmVisualizaUsuarios::UsuarioSelecionado() const {
    const int indice = m_cmbUsuario->currentIndex() + 1;
    return indice > 0 && indice < m_codigosDosUsuarios.size() ? m_codigosDosUsuarios[indice] : 0;
}

void frmVisualizaUsuarios::ExibeInfoUsuario() {
    m_pnlDescricaoGrupo->setText(
        DetalhesDoUsuario(UsuarioSelecionado()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void frmVisualizaUsuarios::cmbUsuario_Click() {
    if (!m_preenchendo && m_cmbUsuario->currentIndex() >= 0)
        ExibeInfoUsuario();
}

bool frmVisualizaUsuarios::ListaVaziaRecusada() {
    if (m_cmbUsuario->count() > 0)
        return false;
    m_operador.Mensagem(SemUsuariosCadastrados, QStringLiteral("Erro:"), Icone::Informacao);
    return true;
}

void frmVisualizaUsuarios::MostraUsuario(qint32 manter) {
    if (AtualizaListaDeUsuarios(manter))
        ExibeInfoUsuario();
    else
        m_pnlDescricaoGrupo->setText(SemUsuariosCadastrados);
}

void frmVisualizaUsuarios::cmdAlterarGrupo_Click() {
    if (ListaVaziaRecusada())
        return;
    setCursor(Qt::WaitCursor);
    const qint32 alterado = UsuarioSelecionado();
    {
        frmCadastraUsuarios dialogo(m_operador, this);
        if (dialogo.PreencheParaAlterar(alterado)) {
            m_operador.Status(QStringLiteral(" Alterando informações sobre usuário ..."));
            dialogo.exec();
            m_operador.Status(Pronto);
        }
    }
    // He stays selected, so the next command acts on him again.
    MostraUsuario(alterado);
    unsetCursor();
}

void frmVisualizaUsuarios::cmdCadastrarGrupo_Click() {
    m_operador.Status(QStringLiteral(" Inserindo um novo usuário no cadastro ..."));
    qint32 manter = UsuarioSelecionado();
    {
        frmCadastraUsuarios dialogo(m_operador, this);
        if (dialogo.exec() == QDialog::Accepted)
            manter = dialogo.IdDoUsuario();
    }
    m_operador.Status(Pronto);
    MostraUsuario(manter);
}

void frmVisualizaUsuarios::cmdExcluirGrupo_Click() {
    if (ListaVaziaRecusada())
        return;
    if (m_operador.Mensagem(QStringLiteral("Você tem certeza que deseja excluir este usuário do cadastro?"),
                            QStringLiteral("Atenção:"), Icone::Pergunta, Botoes::SimNao) != Resposta::Sim)
        return;
    {
        const AmpulhetaLigada ampulheta(m_operador);
        ExcluiUsuario(m_operador, UsuarioSelecionado());
    }
    // Kept when the store refused; gone otherwise, and then the first user is shown.
    MostraUsuario(UsuarioSelecionado());
}

void frmVisualizaUsuarios::cmdHistorico_Click() {
    ExibeHistorico(this, m_areaDoHistorico, m_operador, QString::number(UsuarioSelecionado()), 1);
}

void frmVisualizaUsuarios::cmdRetornar_Click() {
    accept();
}
