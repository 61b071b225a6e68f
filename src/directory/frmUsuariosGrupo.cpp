#include "directory/frmUsuariosGrupo.h"
#include "directory/FalhaNoBanco.h"
#include "directory/frmListaDeGrupos.h"

#include "directory/MembrosDoGrupo.h"
#include "ui/frmControles.h"
#include "ui/frmListaDeNomes.h"
#include "ui/frmMoldura.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

frmUsuariosGrupo::frmUsuariosGrupo(Operador& operador, QWidget* pai) : QDialog(pai), m_operador(operador) {
    setObjectName(QStringLiteral("frmUsuariosGrupo"));
    TornaSemMoldura(this);
    setModal(true);
    bipe = [] { QApplication::beep(); };

    auto* raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(2, 2, 2, 2);
    raiz->addWidget(
        CriaPainelDeTitulo(this, QStringLiteral("Grupos de Usuários"), QStringLiteral("pnlTituloFundo")));
    QFrame* pnlFundo = CriaPainelDeFundo(this);
    raiz->addWidget(pnlFundo);
    auto* fundo = new QVBoxLayout(pnlFundo);

    m_cmbGrupos = new QComboBox(pnlFundo);
    m_cmbGrupos->setObjectName(QStringLiteral("cmbGrupos"));
    m_cmbGrupos->setAccessibleName(QStringLiteral("Grupos"));
    PreparaListaGrande(m_cmbGrupos);
    connect(m_cmbGrupos, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &frmUsuariosGrupo::cmbGrupos_Click);
    fundo->addWidget(m_cmbGrupos);

    m_lstUsuarios = new QListView(pnlFundo);
    m_lstUsuarios->setObjectName(QStringLiteral("lstUsuarios"));
    PreparaListaGrande(m_lstUsuarios);
    m_lstUsuarios->setMinimumHeight(140);
    fundo->addWidget(
        CriaRotulo(pnlFundo, QStringLiteral("Usuários do Grupo:"), QStringLiteral("pnlMsg0"), m_lstUsuarios));
    fundo->addWidget(m_lstUsuarios, 1);

    auto* botoes = new QHBoxLayout;
    auto* cmdAdicionar = new QPushButton(QStringLiteral("A&dicionar"), pnlFundo);
    cmdAdicionar->setObjectName(QStringLiteral("cmdAdicionar"));
    cmdAdicionar->setAccessibleName(QStringLiteral("Adicionar"));
    cmdAdicionar->setAutoDefault(false);
    connect(cmdAdicionar, &QPushButton::clicked, this, &frmUsuariosGrupo::cmdAdicionar_Click);
    auto* cmdRemover = new QPushButton(QStringLiteral("&Remover"), pnlFundo);
    cmdRemover->setObjectName(QStringLiteral("cmdRemover"));
    cmdRemover->setAccessibleName(QStringLiteral("Remover"));
    cmdRemover->setAutoDefault(false);
    connect(cmdRemover, &QPushButton::clicked, this, &frmUsuariosGrupo::cmdRemover_Click);
    botoes->addWidget(cmdAdicionar);
    botoes->addWidget(cmdRemover);
    botoes->addStretch(1);
    fundo->addLayout(botoes);

    m_cmbUsuarios = new QComboBox(pnlFundo);
    m_cmbUsuarios->setObjectName(QStringLiteral("cmbUsuarios"));
    PreparaListaGrande(m_cmbUsuarios);
    fundo->addWidget(CriaRotulo(pnlFundo, QStringLiteral("Usuários Cadastrados:"), QStringLiteral("pnlMsg1"),
                                m_cmbUsuarios));
    fundo->addWidget(m_cmbUsuarios);

    auto* rodape = new QHBoxLayout;
    rodape->addStretch(1);
    QToolButton* cmdRetornar = CriaBotaoDeFigura(pnlFundo, QStringLiteral("cmdRetornar"),
                                                 QStringLiteral(":/directory/imagens/grupo_retornar.svg"),
                                                 QStringLiteral("Clique aqui para retornar ..."));
    connect(cmdRetornar, &QToolButton::clicked, this, &frmUsuariosGrupo::cmdRetornar_Click);
    rodape->addWidget(cmdRetornar);
    fundo->addLayout(rodape);

    setTabOrder(cmdRetornar, m_cmbGrupos);
    setTabOrder(m_cmbGrupos, m_lstUsuarios);
    setTabOrder(m_lstUsuarios, m_cmbUsuarios);
    setTabOrder(m_cmbUsuarios, cmdAdicionar);
    setTabOrder(cmdAdicionar, cmdRemover);
    cmdRetornar->setFocus();
    setMinimumWidth(360);
    Form_Load();
    CentralizaSobre(this, pai);
}

void frmUsuariosGrupo::Form_Load() {
    // Users first: the member list is picked out of theirs, already in name order.
    PreencheUsuarios();
    if (AtualizaGrupos())
        AtualizaMsgGrupo();
}

bool frmUsuariosGrupo::AtualizaGrupos() {
    return PreencheGrupos(m_operador, m_cmbGrupos, m_grupos);
}

void frmUsuariosGrupo::AtualizaMsgGrupo() {
    const qint32 grupo = m_grupos.IdNoIndice(m_cmbGrupos->currentIndex());
    ListaDeNomes membros;
    {
        const AmpulhetaLigada ampulheta(m_operador);
        if (grupo != 0)
            membros = LeMembros(grupo, m_CodigosDosUsuarios);
        PreencheNomes(m_lstUsuarios, membros.nomes);
    }
    if (grupo == 0)
        return;
    if (!membros.erro.isEmpty())
        InformaFalhaNoBanco(m_operador, QStringLiteral("ler os usuários do grupo"), membros.erro);
    else if (membros.Vazia())
        m_operador.Mensagem(QStringLiteral("Não há usuários cadastrados neste grupo."),
                            QStringLiteral("Advertência:"), Icone::Informacao);
}

void frmUsuariosGrupo::PreencheUsuarios() {
    {
        const AmpulhetaLigada ampulheta(m_operador);
        m_CodigosDosUsuarios = LeUsuarios();
    }
    if (!m_CodigosDosUsuarios.erro.isEmpty())
        InformaFalhaNoBanco(m_operador, QStringLiteral("ler o cadastro de usuários"),
                            m_CodigosDosUsuarios.erro);
    PreencheNomes(m_cmbUsuarios, m_CodigosDosUsuarios.nomes);
}

void frmUsuariosGrupo::cmbGrupos_Click() {
    AtualizaMsgGrupo();
}

void frmUsuariosGrupo::cmdAdicionar_Click() {
    const qint32 usuario = m_CodigosDosUsuarios.IdNoIndice(m_cmbUsuarios->currentIndex());
    const qint32 grupo = m_grupos.IdNoIndice(m_cmbGrupos->currentIndex());
    // No user chosen, or no group to put him in.
    if (m_cmbUsuarios->currentText().isEmpty() || usuario == 0 || grupo == 0) {
        bipe();
        return;
    }
    QString erro;
    Adicao adicao;
    {
        const AmpulhetaLigada ampulheta(m_operador);
        adicao = AdicionaMembro(usuario, grupo, &erro);
    }
    switch (adicao) {
    case Adicao::Adicionado:
        AtualizaMsgGrupo();
        break;
    case Adicao::JaEraMembro:
        break;
    case Adicao::UsuarioAusente:
    case Adicao::GrupoAusente:
        InformaOutraMesa(m_operador, adicao == Adicao::UsuarioAusente
                                         ? QStringLiteral("Este usuário foi excluído em outra mesa, então "
                                                          "nada foi gravado. As listas foram atualizadas.")
                                         : QStringLiteral("Este grupo foi excluído em outra mesa, então nada "
                                                          "foi gravado. As listas foram atualizadas."));
        Form_Load();
        break;
    case Adicao::Falhou:
        InformaFalhaNoBanco(m_operador, QStringLiteral("incluir o usuário no grupo"), erro);
        break;
    }
}

void frmUsuariosGrupo::cmdRemover_Click() {
    const QModelIndex selecionado = m_lstUsuarios->currentIndex();
    const qint32 grupo = m_grupos.IdNoIndice(m_cmbGrupos->currentIndex());
    if (!selecionado.isValid() || !m_lstUsuarios->selectionModel()->isSelected(selecionado) || grupo == 0)
        return;
    const QString nome = selecionado.data().toString();
    QString erro;
    bool removido;
    {
        const AmpulhetaLigada ampulheta(m_operador);
        removido = RemoveMembro(nome, grupo, &erro);
    }
    if (!removido)
        InformaFalhaNoBanco(m_operador, QStringLiteral("retirar o usuário do grupo"), erro);
    AtualizaMsgGrupo();
}

void frmUsuariosGrupo::cmdRetornar_Click() {
    accept();
}
