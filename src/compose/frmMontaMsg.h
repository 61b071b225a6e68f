#pragma once
// The message composition window: the recipient (one user or one group), the message, and
// the send, which runs in the progress window while this one stays open behind it.
#include "common/Contexto.h"
#include "compose/Destinatarios.h"
#include "settings/Conexao.h"
#include "tap/Envio.h"

#include <QDialog>
#include <QVector>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QRadioButton;
class QToolButton;
class frmCaixaDeTexto;

class frmMontaMsg : public QDialog, public PedidoDeEnvio {
    Q_OBJECT
public:
    // The context reaches the operator and is handed to the progress window.
    explicit frmMontaMsg(Contexto& ctx, QWidget* pai = nullptr);

    // PedidoDeEnvio: what the sending side reads while this window waits behind it.
    bool DestinoEhUsuario() const override;
    int IndiceDaLista() const override;
    QString TextoDaMensagem() const override;
    void EsvaziaMensagem() override;
    QString Origem() const override { return QStringLiteral("janela"); }

    void Form_Load();
    // Reads the stored listing mode, selects its option button and fills the list.
    void AjustaINIOpcao();
    // Refill the recipient list (and CodigosDaLista) with every user or every group.
    void ListaPorUsuario();
    void ListaPorGrupo();

public slots:
    void cmdEnviar_Click();
    // Open the user entry dialog for a new user or for the selected one; the list is read again.
    void cmdCadastrar_Click();
    void cmdAlterar_Click();
    // Stores the listing mode and closes; closing in any other way stores nothing.
    void cmdRetornar_Click();
    // A listing-mode button was ticked or cleared (click, Space, arrows): the list follows.
    void optListaPorUsuario_Click();
    void optListaPorGrupo_Click();
    void txtMensagem_Change();

private:
    // Refills the list in the ticked mode, keeping the entry with this identifier selected when
    // it is still there (else the first one).
    void RefazLista(qint32 manter);
    // The identifier a send would take now: CodigosDaLista at list index + 1; 0 for none.
    qint32 IdSelecionado() const;
    // The kind of recipient the ticked option button asks for.
    TipoDeDestinatario ModoMarcado() const;
    // Refills the list when it holds the other kind; focus alone never changes the recipient.
    void AcompanhaModo();
    // What the text will be on the line: letters in the form the connection takes, the count of
    // pages beside the box.
    void MostraComoVai();
    void Lista(TipoDeDestinatario tipo, qint32 manter = 0);
    // The buttons that act on users only; hidden while groups are listed.
    void MostraBotoesDoUsuario(bool visiveis);

    Contexto& m_ctx;
    QComboBox* m_cmbUsuario = nullptr;
    frmCaixaDeTexto* m_txtMensagem = nullptr;
    QLabel* m_pnlTamanho = nullptr;
    RegrasDoTexto m_regras;
    QGroupBox* m_fraListagem = nullptr;
    QRadioButton* m_optListaPorUsuario = nullptr;
    QRadioButton* m_optListaPorGrupo = nullptr;
    QToolButton* m_cmdEnviar = nullptr;
    QToolButton* m_cmdRetornar = nullptr;
    QVector<QToolButton*> m_botoesDoUsuario;
    // What cmbUsuario and CodigosDaLista hold now; empty before the first fill.
    std::optional<TipoDeDestinatario> m_tipoDaLista;
    bool m_recuperando = false;
};
