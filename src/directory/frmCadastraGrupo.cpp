#include "directory/frmCadastraGrupo.h"
#include "directory/FalhaNoBanco.h"
#include "directory/frmListaDeGrupos.h"

#include "directory/CadastroDeGrupos.h"
#include "directory/frmCadastraGrupos.h"
#include "ui/frmControles.h"
#include "ui/frmListaDeNomes.h"
#include "ui/frmMoldura.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString TituloErro = QStringLiteral("Erro:");
const QString Pronto = QStringLiteral(" Pronto");
} // namespace

frmCadastraGrupo::frmCadastraGrupo(Operador& operador, QWidget* pai) : QDialog(pai), m_operador(operador) {
    setObjectName(QStringLiteral("frmCadastraGrupo"));
    TornaSemMoldura(this);
    setModal(true);
    mostraCadastro = [](frmCadastraGrupos& dialogo) { dialogo.exec(); };

    auto* raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(2, 2, 2, 2);
    raiz->addWidget(CriaPainelDeTitulo(this, QStringLiteral("Grupos"), QStringLiteral("pnlTituloFundo")));
    QFrame* pnlFundo = CriaPainelDeFundo(this);
    raiz->addWidget(pnlFundo);
    auto* fundo = new QVBoxLayout(pnlFundo);

    m_cmbGrupos = new QComboBox(pnlFundo);
    m_cmbGrupos->setObjectName(QStringLiteral("cmbGrupos"));
    m_cmbGrupos->setAccessibleName(QStringLiteral("Grupos"));
    PreparaListaGrande(m_cmbGrupos);
    connect(m_cmbGrupos, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &frmCadastraGrupo::cmbGrupos_Click);
    fundo->addWidget(m_cmbGrupos);

    m_pnlDescricaoGrupo = CriaPainelDeTexto(pnlFundo, QString(), QStringLiteral("pnlDescricaoGrupo"));
    m_pnlDescricaoGrupo->setMinimumHeight(48);
    m_pnlDescricaoGrupo->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    fundo->addWidget(CriaRotulo(pnlFundo, QStringLiteral("Descrição do Grupo:"), QStringLiteral("pnlMsg"),
                                m_pnlDescricaoGrupo));
    fundo->addWidget(m_pnlDescricaoGrupo);

    auto* botoes = new QHBoxLayout;
    const struct {
        const char* nome;
        const char* figura;
        QString dica;
        void (frmCadastraGrupo::*acao)();
    } definicoes[] = {
        {"cmdCadastrarGrupo", "grupo_novo", QStringLiteral("Cadastrar um grupo ..."),
         &frmCadastraGrupo::cmdCadastrarGrupo_Click},
        {"cmdAlterarGrupo", "grupo_alterar",
         QStringLiteral("Clique aqui para alterar as informações sobre o grupo atual ..."),
         &frmCadastraGrupo::cmdAlterarGrupo_Click},
        {"cmdExcluirGrupo", "grupo_excluir",
         QStringLiteral("Clique aqui para retirar este grupo do cadastro ..."),
         &frmCadastraGrupo::cmdExcluirGrupo_Click},
        {"cmdRetornar", "grupo_retornar", QStringLiteral("Clique aqui para retornar ..."),
         &frmCadastraGrupo::cmdRetornar_Click},
    };
    QWidget* anterior = m_cmbGrupos;
    for (const auto& definicao : definicoes) {
        QToolButton* botao = CriaBotaoDeFigura(
            pnlFundo, QLatin1String(definicao.nome),
            QStringLiteral(":/directory/imagens/%1.svg").arg(QLatin1String(definicao.figura)),
            definicao.dica);
        connect(botao, &QToolButton::clicked, this, definicao.acao);
        botoes->addWidget(botao);
        setTabOrder(anterior, botao);
        anterior = botao;
    }
    botoes->addStretch(1);
    fundo->addLayout(botoes);

    m_cmbGrupos->setFocus();
    setMinimumWidth(360);
    Form_Load();
    CentralizaSobre(this, pai);
}

void frmCadastraGrupo::Form_Load() {
    FinalComum();
}

bool frmCadastraGrupo::AtualizaGrupos() {
    return PreencheGrupos(m_operador, m_cmbGrupos, m_grupos);
}

void frmCadastraGrupo::AtualizaMsgGrupo() {
    const qint32 id = GrupoSelecionado();
    if (id == 0)
        return;
    Grupo grupo;
    QString erro;
    if (LeGrupo(id, grupo, &erro))
        m_pnlDescricaoGrupo->setText(grupo.descricao);
    else if (!erro.isEmpty())
        InformaFalhaNoBanco(m_operador, QStringLiteral("ler o grupo"), erro);
    else // gone since the list was read
        FinalComum();
}

void frmCadastraGrupo::FinalComum() {
    if (!AtualizaGrupos())
        m_pnlDescricaoGrupo->setText(QStringLiteral("Não há nenhum grupo cadastrado."));
    else
        AtualizaMsgGrupo();
}

qint32 frmCadastraGrupo::GrupoSelecionado() const {
    return m_grupos.IdNoIndice(m_cmbGrupos->currentIndex());
}

void frmCadastraGrupo::cmbGrupos_Click() {
    AtualizaMsgGrupo();
}

void frmCadastraGrupo::AbreCadastro(frmCadastraGrupos& dialogo, const QString& status) {
    // The window's own pointer: the dialog over it keeps the normal one.
    setCursor(Qt::WaitCursor);
    m_operador.Status(status);
    mostraCadastro(dialogo);
    m_operador.Status(Pronto);
    unsetCursor();
    FinalComum();
    // The keyboard comes back here, not to whatever the system activates next.
    activateWindow();
    m_cmbGrupos->setFocus();
}

void frmCadastraGrupo::cmdCadastrarGrupo_Click() {
    frmCadastraGrupos dialogo(m_operador, this);
    AbreCadastro(dialogo, QStringLiteral(" Cadastrando um novo grupo de usuários..."));
}

void frmCadastraGrupo::cmdAlterarGrupo_Click() {
    if (m_cmbGrupos->count() == 0) {
        m_operador.Mensagem(QStringLiteral("Desculpe, mas não há nenhum grupo cadastrado para ser alterado."),
                            TituloErro, Icone::Informacao);
        return;
    }
    Grupo grupo;
    QString erro;
    if (!LeGrupo(GrupoSelecionado(), grupo, &erro)) {
        if (!erro.isEmpty())
            InformaFalhaNoBanco(m_operador, QStringLiteral("ler o grupo"), erro);
        FinalComum();
        return;
    }
    frmCadastraGrupos dialogo(m_operador, this);
    dialogo.PreencheParaAlterar(grupo);
    AbreCadastro(dialogo, QStringLiteral(" Alterando informações sobre grupo de usuários..."));
}

void frmCadastraGrupo::cmdExcluirGrupo_Click() {
    if (m_cmbGrupos->count() == 0) {
        m_operador.Mensagem(
            QStringLiteral(
                "Desculpe, mas você deve possuir pelo menos um grupo cadastrado para poder excluí-lo."),
            TituloErro, Icone::Informacao);
        return;
    }
    if (m_operador.Mensagem(QStringLiteral("Você está certo de que deseja excluir este grupo do cadastro?\r\n"
                                           "A exclusão deste grupo irá excluir toda a referência dos "
                                           "usuários nele contido."),
                            QStringLiteral("Importante:"), Icone::Pergunta, Botoes::SimNao) != Resposta::Sim)
        return;
    QString erro;
    bool excluido;
    bool jaExcluido = false;
    {
        const AmpulhetaLigada ampulheta(m_operador);
        m_operador.Status(QStringLiteral(" Excluindo Grupo de Usuários..."));
        excluido = ExcluiGrupo(GrupoSelecionado(), &erro, &jaExcluido);
    }
    if (!excluido)
        InformaFalhaNoBanco(m_operador, QStringLiteral("excluir o grupo"), erro);
    else if (jaExcluido)
        InformaOutraMesa(m_operador,
                         QStringLiteral("Este grupo já tinha sido excluído em outra mesa. A lista "
                                        "de grupos foi atualizada."));
    m_operador.Status(Pronto);
    FinalComum();
}

void frmCadastraGrupo::cmdRetornar_Click() {
    accept();
}
