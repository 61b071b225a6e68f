#include "compose/frmMontaMsg.h"

#include "common/Modulo.h"
#include "compose/FiltroDeTexto.h"
#include "directory/frmCadastraUsuarios.h"
#include "settings/PerfilINI.h"
#include "store/BancoDeDados.h"
#include "tap/TextoDaPagina.h"
#include "tap/frmShowDoEnvio.h"
#include "ui/frmCaixaDeTexto.h"
#include "ui/frmControles.h"
#include "ui/frmFigura.h"
#include "ui/frmListaDeNomes.h"
#include "ui/frmMoldura.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QTextCursor>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString SecaoListagem = QStringLiteral("LISTAGEM");
const QString ChaveOpcao = QStringLiteral("Opção");
const QString OpcaoUsuario = QStringLiteral("Usuário");
const QString OpcaoGrupo = QStringLiteral("Grupo");
const QString TituloAdvertencia = QStringLiteral("Advertência:");
} // namespace

frmMontaMsg::frmMontaMsg(Contexto& ctx, QWidget* pai)
    : QDialog(pai), m_ctx(ctx), m_regras(LeRegrasDoTexto()) {
    setObjectName(QStringLiteral("frmMontaMsg"));
    TornaSemMoldura(this);
    setModal(true);

    auto* raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(2, 2, 2, 2);
    raiz->addWidget(
        CriaPainelDeTitulo(this, QStringLiteral("Envio de Mensagens"), QStringLiteral("pnlTitulo")));

    QFrame* pnlFundo = CriaPainelDeFundo(this);
    raiz->addWidget(pnlFundo);
    auto* fundo = new QVBoxLayout(pnlFundo);

    m_cmbUsuario = new QComboBox(pnlFundo);
    m_cmbUsuario->setObjectName(QStringLiteral("cmbUsuario"));
    m_cmbUsuario->setEditable(false);
    m_cmbUsuario->setMaxVisibleItems(16);
    PreparaListaGrande(m_cmbUsuario);
    fundo->addWidget(CriaRotulo(pnlFundo, QStringLiteral("Selecione Destinatário:"),
                                QStringLiteral("pnlMsg1"), m_cmbUsuario));
    fundo->addWidget(m_cmbUsuario);

    m_txtMensagem = new frmCaixaDeTexto(pnlFundo);
    m_txtMensagem->setObjectName(QStringLiteral("txtMensagem"));
    m_txtMensagem->setMaxLength(m_regras.TamanhoDoTexto());
    m_txtMensagem->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtMensagem->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_txtMensagem->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_txtMensagem->setTabChangesFocus(true);
    m_txtMensagem->setMinimumSize(380, 110);
    connect(m_txtMensagem, &QPlainTextEdit::textChanged, this, &frmMontaMsg::txtMensagem_Change);
    fundo->addWidget(CriaRotulo(pnlFundo, QStringLiteral("Digite Aqui a Mensagem:"),
                                QStringLiteral("pnlMsg0"), m_txtMensagem));
    fundo->addWidget(m_txtMensagem, 1);
    m_pnlTamanho = CriaPainelDeTexto(pnlFundo, QString(), QStringLiteral("pnlTamanho"));
    fundo->addWidget(m_pnlTamanho);
    MostraComoVai();

    auto* rodape = new QHBoxLayout;
    m_fraListagem = new QGroupBox(QStringLiteral("Listar:"), pnlFundo);
    m_fraListagem->setObjectName(QStringLiteral("fraListagem"));
    auto* opcoes = new QHBoxLayout(m_fraListagem);
    m_optListaPorUsuario = new QRadioButton(QStringLiteral("Por Usuário"), m_fraListagem);
    m_optListaPorUsuario->setObjectName(QStringLiteral("optListaPorUsuario"));
    m_optListaPorUsuario->setChecked(true);
    m_optListaPorGrupo = new QRadioButton(QStringLiteral("Por Grupo"), m_fraListagem);
    m_optListaPorGrupo->setObjectName(QStringLiteral("optListaPorGrupo"));
    m_optListaPorGrupo->setFocusPolicy(Qt::ClickFocus); // not a tab stop
    // Ticking, not focus, chooses the mode: focus also comes with window activation and Tab.
    connect(m_optListaPorUsuario, &QRadioButton::toggled, this, &frmMontaMsg::optListaPorUsuario_Click);
    connect(m_optListaPorGrupo, &QRadioButton::toggled, this, &frmMontaMsg::optListaPorGrupo_Click);
    opcoes->addWidget(m_optListaPorUsuario);
    opcoes->addWidget(m_optListaPorGrupo);
    rodape->addWidget(m_fraListagem);
    rodape->addStretch(1);

    QToolButton* cmdCadastrar = CriaBotaoDeFigura(pnlFundo, QStringLiteral("cmdCadastrar"),
                                                  QStringLiteral(":/directory/imagens/novo.svg"),
                                                  QStringLiteral("Cadastrar Novo Usuário"));
    connect(cmdCadastrar, &QToolButton::clicked, this, &frmMontaMsg::cmdCadastrar_Click);
    QToolButton* cmdAlterar = CriaBotaoDeFigura(
        pnlFundo, QStringLiteral("cmdAlterar"), QStringLiteral(":/directory/imagens/alterar.svg"),
        QStringLiteral("Alterar Informações Relativas ao Usuário Corrente"));
    connect(cmdAlterar, &QToolButton::clicked, this, &frmMontaMsg::cmdAlterar_Click);
    m_botoesDoUsuario = {cmdCadastrar, cmdAlterar};
    rodape->addWidget(cmdCadastrar);
    rodape->addWidget(cmdAlterar);

    m_cmdEnviar = CriaBotaoDeFigura(pnlFundo, QStringLiteral("cmdEnviar"),
                                    QStringLiteral(":/compose/imagens/enviar.svg"),
                                    QStringLiteral("Discar e enviar mensagem..."));
    connect(m_cmdEnviar, &QToolButton::clicked, this, &frmMontaMsg::cmdEnviar_Click);
    m_cmdRetornar =
        CriaBotaoDeFigura(pnlFundo, QStringLiteral("cmdRetornar"),
                          QStringLiteral(":/compose/imagens/retornar.svg"), QStringLiteral("Retornar"));
    connect(m_cmdRetornar, &QToolButton::clicked, this, &frmMontaMsg::cmdRetornar_Click);
    rodape->addWidget(m_cmdEnviar);
    rodape->addWidget(m_cmdRetornar);
    fundo->addLayout(rodape);

    // From the message the operator reaches "Enviar" before anything that changes the list.
    setTabOrder(m_cmbUsuario, m_txtMensagem);
    setTabOrder(m_txtMensagem, m_cmdEnviar);
    setTabOrder(m_cmdEnviar, m_cmdRetornar);
    setTabOrder(m_cmdRetornar, cmdCadastrar);
    setTabOrder(cmdCadastrar, cmdAlterar);
    setTabOrder(cmdAlterar, m_optListaPorUsuario);
    m_cmbUsuario->setFocus();

    Form_Load();
    CentralizaSobre(this, pai);
}

bool frmMontaMsg::DestinoEhUsuario() const {
    return m_optListaPorUsuario->isChecked();
}

int frmMontaMsg::IndiceDaLista() const {
    return m_cmbUsuario->currentIndex();
}

QString frmMontaMsg::TextoDaMensagem() const {
    return m_txtMensagem->toPlainText();
}

void frmMontaMsg::EsvaziaMensagem() {
    m_txtMensagem->clear();
}

void frmMontaMsg::Form_Load() {
    AjustaINIOpcao();
}

void frmMontaMsg::AjustaINIOpcao() {
    const QString opcao = LeINI(SecaoListagem, ChaveOpcao, QStringLiteral("VAZIO"));
    if (opcao == QLatin1String("VAZIO")) {
        // First opening: the choice is stored at once, before the person does anything.
        GravaINI(SecaoListagem, ChaveOpcao, OpcaoUsuario);
        ListaPorUsuario();
    } else if (opcao == OpcaoUsuario) {
        m_optListaPorUsuario->setChecked(true);
        AcompanhaModo();
    } else {
        m_optListaPorGrupo->setChecked(true);
        AcompanhaModo();
    }
}

void frmMontaMsg::ListaPorUsuario() {
    MostraBotoesDoUsuario(true);
    Lista(TipoDeDestinatario::Usuario);
}

void frmMontaMsg::ListaPorGrupo() {
    MostraBotoesDoUsuario(false);
    Lista(TipoDeDestinatario::Grupo);
}

void frmMontaMsg::Lista(TipoDeDestinatario tipo, qint32 manter) {
    m_tipoDaLista = tipo;
    PreencheCodigosDaLista({});
    PreencheNomes(m_cmbUsuario, {});
    ListaDeNomes lista;
    {
        const AmpulhetaLigada ampulheta(m_ctx.operador);
        lista = LeDestinatarios(tipo);
    }
    if (!lista.erro.isEmpty()) {
        const QString cadastro = tipo == TipoDeDestinatario::Usuario
                                     ? QStringLiteral("o cadastro de usuários")
                                     : QStringLiteral("o cadastro de grupos");
        m_ctx.operador.Mensagem(
            QStringLiteral("Não foi possível ler %1 %2. A lista de destinatários ficará vazia.\n\n(%3)")
                .arg(cadastro, NoBancoDeDados(QStringLiteral("ele pode estar danificado")), lista.erro),
            QStringLiteral("Erro:"), Icone::Informacao);
        return;
    }
    if (lista.nomes.isEmpty())
        return;
    PreencheCodigosDaLista(lista.ids);
    PreencheNomes(m_cmbUsuario, lista.nomes, lista.IndiceDoId(manter));
}

void frmMontaMsg::MostraBotoesDoUsuario(bool visiveis) {
    for (QToolButton* botao : m_botoesDoUsuario) {
        botao->setVisible(visiveis);
        botao->setEnabled(visiveis);
    }
}

TipoDeDestinatario frmMontaMsg::ModoMarcado() const {
    return m_optListaPorUsuario->isChecked() ? TipoDeDestinatario::Usuario : TipoDeDestinatario::Grupo;
}

void frmMontaMsg::AcompanhaModo() {
    if (m_tipoDaLista == ModoMarcado())
        return;
    if (ModoMarcado() == TipoDeDestinatario::Usuario)
        ListaPorUsuario();
    else
        ListaPorGrupo();
}

void frmMontaMsg::optListaPorUsuario_Click() {
    AcompanhaModo();
}

void frmMontaMsg::optListaPorGrupo_Click() {
    AcompanhaModo();
}

void frmMontaMsg::MostraComoVai() {
    const QString texto = m_txtMensagem->toPlainText();
    // Typed, pasted, dropped or recalled: the box shows the letters that will go out.
    const QString linha = TextoParaALinha(texto, m_regras).left(m_regras.TamanhoDoTexto());
    if (linha != texto) {
        const int antes =
            int(TextoParaALinha(texto.left(m_txtMensagem->textCursor().position()), m_regras).size());
        QTextCursor cursor = m_txtMensagem->textCursor();
        cursor.select(QTextCursor::Document);
        cursor.insertText(linha);
        cursor.setPosition(std::min(antes, int(linha.size())));
        m_txtMensagem->setTextCursor(cursor);
    }
    QStringList paginas;
    QString erro;
    if (linha.size() > m_regras.tamanhoDaPagina && PaginasDoTexto(linha, m_regras, paginas, erro))
        m_pnlTamanho->setText(QStringLiteral("%1 caracteres: vai em %2 páginas de até %3")
                                  .arg(linha.size())
                                  .arg(paginas.size())
                                  .arg(m_regras.tamanhoDaPagina));
    else
        m_pnlTamanho->setText(
            QStringLiteral("%1 de %2 caracteres").arg(linha.size()).arg(m_regras.TamanhoDoTexto()));
}

void frmMontaMsg::txtMensagem_Change() {
    if (m_recuperando)
        return;
    m_recuperando = true;
    MostraComoVai();
    m_recuperando = false;
    // The recalled text may itself read "=ANTERIOR"; it is not looked at again.
    if (!PedeMensagemAnterior(m_txtMensagem->toPlainText()))
        return;
    m_recuperando = true;
    m_txtMensagem->setPlainText(Modulo::MensagemEnvio);
    MostraComoVai();
    QTextCursor cursor = m_txtMensagem->textCursor();
    cursor.select(QTextCursor::Document);
    m_txtMensagem->setTextCursor(cursor);
    m_recuperando = false;
}

void frmMontaMsg::cmdEnviar_Click() {
    if (m_cmbUsuario->count() == 0) {
        m_ctx.operador.Mensagem(QStringLiteral("Favor selecionar o destinatário antes de enviar a mensagem."),
                                TituloAdvertencia, Icone::Informacao);
        return;
    }
    if (m_txtMensagem->toPlainText().isEmpty()) {
        m_ctx.operador.Mensagem(QStringLiteral("Favor digitar a mensagem para depois enviá-la."),
                                TituloAdvertencia, Icone::Informacao);
        m_txtMensagem->setFocus();
        return;
    }
    QStringList paginas;
    QString erro;
    if (!PaginasDoTexto(TextoDaMensagem(), LeRegrasDoTexto(), paginas, erro)) {
        // A character the line cannot carry, or a text longer than the connection takes.
        m_ctx.operador.Mensagem(AvisoDoTexto(erro), TituloAdvertencia, Icone::Informacao);
        m_txtMensagem->setFocus();
        return;
    }
    if (m_tipoDaLista != ModoMarcado()) {
        // Never page a group for a user shown (or the reverse): the operator checks again.
        AcompanhaModo();
        m_ctx.operador.Mensagem(
            QStringLiteral("A lista de destinatários não correspondia à opção de listagem marcada "
                           "e foi atualizada. Nada foi enviado: confira o destinatário e envie "
                           "novamente."),
            TituloAdvertencia, Icone::Informacao);
        m_cmbUsuario->setFocus();
        return;
    }
    Modulo::MensagemEnvio = TextoDaMensagem();
    Modulo::EnvioIniciado = false;
    {
        frmShowDoEnvio envio(m_ctx, *this, this);
        if (m_optListaPorGrupo->isChecked())
            envio.MedidorVisivel(true);
        envio.exec();
    }
    m_ctx.operador.Status(QStringLiteral(" Pronto"));
}

void frmMontaMsg::cmdRetornar_Click() {
    GravaINI(SecaoListagem, ChaveOpcao, m_optListaPorGrupo->isChecked() ? OpcaoGrupo : OpcaoUsuario);
    accept();
}

void frmMontaMsg::cmdCadastrar_Click() {
    qint32 manter = IdSelecionado();
    {
        frmCadastraUsuarios dialogo(m_ctx.operador, this);
        if (dialogo.exec() == QDialog::Accepted)
            manter = dialogo.IdDoUsuario(); // the new user becomes the recipient
    }
    RefazLista(manter);
}

void frmMontaMsg::cmdAlterar_Click() {
    if (m_cmbUsuario->count() == 0) {
        m_ctx.operador.Mensagem(QStringLiteral("Não há nenhum dado selecionado."), QStringLiteral("Erro:"),
                                Icone::Informacao);
        return;
    }
    setCursor(Qt::WaitCursor);
    const qint32 alterado = IdSelecionado();
    {
        frmCadastraUsuarios dialogo(m_ctx.operador, this);
        if (dialogo.PreencheParaAlterar(alterado))
            dialogo.exec();
    }
    // A new name moves him in the list; he stays the recipient.
    RefazLista(alterado);
    unsetCursor();
}

qint32 frmMontaMsg::IdSelecionado() const {
    const int indice = m_cmbUsuario->currentIndex() + 1;
    return indice > 0 && indice < Modulo::CodigosDaLista.size() ? Modulo::CodigosDaLista[indice] : 0;
}

void frmMontaMsg::RefazLista(qint32 manter) {
    const bool grupos = m_optListaPorGrupo->isChecked();
    MostraBotoesDoUsuario(!grupos);
    Lista(grupos ? TipoDeDestinatario::Grupo : TipoDeDestinatario::Usuario, manter);
}
