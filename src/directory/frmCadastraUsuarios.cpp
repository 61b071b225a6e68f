#include "directory/frmCadastraUsuarios.h"

#include "directory/CadastroDeUsuarios.h"
#include "directory/ModeloDeGruposParaMarcar.h"
#include "store/BancoDeDados.h"
#include "ui/frmCaixaDeTexto.h"
#include "ui/frmControles.h"
#include "ui/frmMoldura.h"

#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString NovoUsuario = QStringLiteral("-");

QLineEdit* CriaCaixa(QWidget* pai, const QString& nome, int maximo) {
    auto* caixa = new QLineEdit(pai);
    caixa->setObjectName(nome);
    caixa->setMaxLength(maximo);
    return caixa;
}
} // namespace

frmCadastraUsuarios::frmCadastraUsuarios(Operador& operador, QWidget* pai)
    : QDialog(pai), m_operador(operador) {
    setObjectName(QStringLiteral("frmCadastraUsuarios"));
    TornaSemMoldura(this);
    setModal(true);

    auto* raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(2, 2, 2, 2);
    raiz->addWidget(
        CriaPainelDeTitulo(this, QStringLiteral("Cadastro de Usuários"), QStringLiteral("pnlTitulo")));
    QFrame* pnlFundo = CriaPainelDeFundo(this);
    raiz->addWidget(pnlFundo);
    auto* grade = new QGridLayout(pnlFundo);

    m_pnlId = new QLabel(NovoUsuario, pnlFundo);
    m_pnlId->setObjectName(QStringLiteral("pnlId"));
    m_pnlId->hide();

    m_txtPagerID = CriaCaixa(pnlFundo, QStringLiteral("txtPagerID"), 10);
    m_txtNomeUsuario = CriaCaixa(pnlFundo, QStringLiteral("txtNomeUsuario"), 50);
    m_txtDescricao = new frmCaixaDeTexto(pnlFundo);
    m_txtDescricao->setObjectName(QStringLiteral("txtDescricao"));
    m_txtDescricao->setMaxLength(80);
    m_txtDescricao->setTabChangesFocus(true);
    m_txtDescricao->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtDescricao->setFixedHeight(m_txtDescricao->fontMetrics().lineSpacing() * 3 + 12);
    m_lstGrupos = new QListView(pnlFundo);
    m_lstGrupos->setObjectName(QStringLiteral("lstGrupos"));
    m_grupos = new ModeloDeGruposParaMarcar(m_lstGrupos);
    m_lstGrupos->setModel(m_grupos);
    m_lstGrupos->setUniformItemSizes(true);
    m_lstGrupos->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lstGrupos->setMinimumHeight(120);

    grade->addWidget(
        CriaRotulo(pnlFundo, QStringLiteral("Código do Pager:"), QStringLiteral("lblPagerID"), m_txtPagerID),
        0, 0);
    grade->addWidget(m_txtPagerID, 0, 1);
    grade->addWidget(
        CriaRotulo(pnlFundo, QStringLiteral("Nome:"), QStringLiteral("lblNomeUsuario"), m_txtNomeUsuario), 1,
        0);
    grade->addWidget(m_txtNomeUsuario, 1, 1);
    grade->addWidget(
        CriaRotulo(pnlFundo, QStringLiteral("Observações:"), QStringLiteral("lblDescricao"), m_txtDescricao),
        2, 0, Qt::AlignTop);
    grade->addWidget(m_txtDescricao, 2, 1);
    grade->addWidget(CriaRotulo(pnlFundo, QStringLiteral("Grupos a que Pertence:"),
                                QStringLiteral("lblGrupos"), m_lstGrupos),
                     3, 0, 1, 2);
    grade->addWidget(m_lstGrupos, 4, 0, 1, 2);

    m_cmdCadastrarGrupo = CriaBotaoDeFigura(pnlFundo, QStringLiteral("cmdCadastrarGrupo"),
                                            QStringLiteral(":/directory/imagens/gravar.svg"),
                                            QStringLiteral("Grava os Dados e Retorna"));
    connect(m_cmdCadastrarGrupo, &QToolButton::clicked, this, &frmCadastraUsuarios::cmdCadastrarGrupo_Click);
    m_cmdRetornar = CriaBotaoDeFigura(pnlFundo, QStringLiteral("cmdRetornar"),
                                      QStringLiteral(":/directory/imagens/retornar.svg"),
                                      QStringLiteral("Retorna Sem Gravar"));
    connect(m_cmdRetornar, &QToolButton::clicked, this, &frmCadastraUsuarios::cmdRetornar_Click);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch(1);
    botoes->addWidget(m_cmdCadastrarGrupo);
    botoes->addWidget(m_cmdRetornar);
    grade->addLayout(botoes, 5, 0, 1, 2);

    setTabOrder(m_txtPagerID, m_txtNomeUsuario);
    setTabOrder(m_txtNomeUsuario, m_txtDescricao);
    setTabOrder(m_txtDescricao, m_lstGrupos);
    setTabOrder(m_lstGrupos, m_cmdCadastrarGrupo);
    setTabOrder(m_cmdCadastrarGrupo, m_cmdRetornar);
    m_txtPagerID->setFocus();
    setMinimumWidth(420);
    CentralizaSobre(this, pai);
}

bool frmCadastraUsuarios::PreencheParaAlterar(qint32 idUsuario) {
    QString erro;
    const std::optional<UsuarioCadastrado> usuario = LeUsuario(idUsuario, &erro);
    if (!usuario) {
        m_operador.Mensagem(
            erro.isEmpty()
                ? QStringLiteral("Este usuário não está mais no cadastro; ele pode "
                                 "ter sido excluído.")
                : QStringLiteral("Não foi possível ler o usuário %1.\n\n(%2)").arg(NoBancoDeDados(), erro),
            QStringLiteral("Erro:"), Icone::Informacao);
        return false;
    }
    m_lido.usuario = *usuario;
    m_pnlId->setText(QString::number(usuario->id));
    m_txtPagerID->setText(usuario->dados.pager);
    m_txtDescricao->setPlainText(usuario->dados.descricao);
    m_txtNomeUsuario->setText(usuario->dados.nome);
    return true;
}

qint32 frmCadastraUsuarios::IdDoUsuario() const {
    return m_pnlId->text() == NovoUsuario ? 0 : m_pnlId->text().toInt();
}

void frmCadastraUsuarios::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    // Once per opening: a refusal's message box must not undo the marks being made.
    if (!m_ativado) {
        m_ativado = true;
        Form_Activate();
    }
}

void frmCadastraUsuarios::Form_Activate() {
    ExibeGrupos(IdDoUsuario());
}

bool frmCadastraUsuarios::ExibeGrupos(qint32 idUsuario) {
    m_grupos->Substitui({});
    m_lido.grupos.reset();
    GruposParaMarcar lista = LeGruposParaMarcar(idUsuario);
    if (!lista.erro.isEmpty()) {
        m_operador.Mensagem(
            QStringLiteral("Não foi possível ler os grupos %1; a lista de grupos ficará vazia e, ao "
                           "gravar, os grupos a que o usuário pertence ficarão como estão.\n\n(%2)")
                .arg(NoBancoDeDados(), lista.erro),
            QStringLiteral("Erro:"), Icone::Informacao);
        return false;
    }
    m_lido.grupos.emplace();
    for (const GrupoParaMarcar& grupo : lista.grupos)
        if (grupo.marcado)
            m_lido.grupos->append(grupo.id);
    m_grupos->Substitui(std::move(lista.grupos));
    if (m_grupos->rowCount() == 0)
        return false;
    m_lstGrupos->setCurrentIndex(m_grupos->index(0));
    return true;
}

std::optional<QVector<qint32>> frmCadastraUsuarios::GruposMarcados() const {
    if (!m_lido.grupos)
        return std::nullopt;
    return m_grupos->Marcados();
}

void frmCadastraUsuarios::cmdCadastrarGrupo_Click() {
    DadosDoUsuario dados{m_txtPagerID->text(), m_txtNomeUsuario->text(), m_txtDescricao->toPlainText()};
    if (!ConfereCamposDoUsuario(m_operador, dados))
        return;
    if (dados.descricao.isEmpty()) {
        m_txtDescricao->setPlainText(DescricaoPadraoDoUsuario);
        dados.descricao = DescricaoPadraoDoUsuario;
    }
    qint32 id = 0;
    Conflito conflito = Conflito::Nenhum;
    {
        const AmpulhetaLigada ampulheta(m_operador);
        m_lido.usuario.id = IdDoUsuario();
        id = GravaUsuario(m_operador, m_lido, dados, GruposMarcados(), QDate::currentDate(), &conflito);
    }
    if (conflito == Conflito::UsuarioExcluido) {
        reject(); // the window below lists the users again
        return;
    }
    // Shown as the store holds them now; the operator was told what happened.
    if (conflito != Conflito::Nenhum && (IdDoUsuario() == 0 || PreencheParaAlterar(IdDoUsuario())))
        ExibeGrupos(IdDoUsuario());
    if (id == 0)
        return;
    m_pnlId->setText(QString::number(id));
    accept();
}

void frmCadastraUsuarios::cmdRetornar_Click() {
    reject();
}
