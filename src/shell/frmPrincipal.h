#pragma once
// The main window: a multiple-document frame with menus, tool bar, footer bar and status line.
// It owns the serial control and the clock, and is the operator every routine talks to.
#include "common/Contexto.h"
#include "common/RelogioReal.h"
#include "modem/PortaSerialQt.h"
#include "shell/Inicializacao.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QApplication;
class QFrame;
class QLabel;
class QMenu;
class QMdiArea;
class QTimer;
class frmInicializa;

class frmPrincipal : public QMainWindow, public Operador, public JanelasDaInicializacao {
    Q_OBJECT
public:
    // Runs the whole program: translation, main window, start-up, event loop.
    static int Executa(QApplication& app);

    // The port and clock may be replaced (tests); by default the real ones.
    explicit frmPrincipal(PortaSerial* porta = nullptr, Relogio* relogio = nullptr, QWidget* pai = nullptr);
    ~frmPrincipal() override;

    Contexto& Ctx() { return m_ctx; }
    QMdiArea* Area() const { return m_area; }

    // Start-up; false when the program must end at once.
    bool MDIForm_Load(const QString& diretorioDoBanco = QString());

    // Exit status after SIGTERM, SIGINT or SIGHUP (as bipvox-enviar's).
    static constexpr int SaidaPorSinal = 130;
    // After a termination signal: once no send is under way, the program ends.
    void EncerraPorSinal();

    // How the program ends at once (tests replace it).
    std::function<void(int)> encerraPrograma;

    // Operador
    void Status(const QString& texto) override;
    QString StatusAtual() const override;
    Resposta Mensagem(const QString& texto, const QString& titulo, Icone icone, Botoes botoes) override;
    void Ampulheta(bool ligada) override;

    // JanelasDaInicializacao
    void MostraSplash() override;
    void FechaSplash() override;
    void MostraPrincipal() override;
    void MostraConfigModem() override;
    void MostraMontaMsg() override;

public slots:
    void mnuConfigurarModem_Click();
    void mnuOpcoesAvancadas_Click();
    void mnuImportarCsv_Click();
    void cmdDiscarEnviar_Click();
    void mnuDigitaEnviaMsg_Click();
    void cmdGrupos_Click();
    void mnuGruposCadastro_Click();
    void mnuGruposExibirUsuarioGrupo_Click();
    void mnuUsuariosCadastraNovo_Click();
    void cmdVisualizaUsuarios_Click();
    void mnuUsuariosVisualizaCadastro_Click();
    void cmdExibirHistorico_Click();
    void mnuMensagemExibirHistorico_Click();
    void mnuMensagemFilaDeEnvio_Click();
    void mnuExibirAjuda_Click();
    void mnuAjudaSobre_Click();
    void mnuSair_Click();
    void tmpAjustaJanela_Timer();

protected:
    void closeEvent(QCloseEvent* evento) override;

private:
    using Comando = void (frmPrincipal::*)();
    void MontaMenus();
    void MontaBarraDeFerramentas();
    // One menu item or tool button, named as its handler expects, running that handler.
    QAction* ItemDeMenu(QMenu* menu, const QString& nome, const QString& texto, Comando comando);
    void BotaoDaBarra(const QString& nome, const QString& figura, const QString& dica, Comando comando);
    // The composition window, modal, with the main window's pointer as an hourglass meanwhile.
    void AbreMontaMsgComAmpulheta();
    // A directory window, modal, with the main window's pointer as an hourglass meanwhile.
    template <class Janela, class... Argumentos> void AbreComAmpulheta(Argumentos&&... argumentos);
    // The history of every sent message.
    void ExibeHistoricoCompleto();
    void FechaBanco();

    std::unique_ptr<RelogioReal> m_relogioProprio;
    std::unique_ptr<PortaSerialQt> m_portaPropria;
    Contexto m_ctx;
    QMdiArea* m_area = nullptr;
    QFrame* m_pnlToolBar = nullptr;
    QFrame* m_pnlFooterBar = nullptr;
    QLabel* m_pnlStatus = nullptr;
    QTimer* m_tmpAjustaJanela = nullptr;
    std::unique_ptr<frmInicializa> m_splash;
    bool m_bancoFechado = false;
};
