#pragma once
// The small modal window that runs one whole transmission on its first activation: dialling,
// the send to one user or a group, hang-up; then it closes itself. Only the wait for a modem that
// another Bipvox program holds can be given up (Retornar or Escape); the send itself cannot.
#include "common/Contexto.h"
#include "tap/Envio.h"

#include <QDialog>
#include <QPixmap>
#include <array>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

class frmShowDoEnvio : public QDialog, public PainelDeEnvio {
    Q_OBJECT
public:
    frmShowDoEnvio(Contexto& ctx, PedidoDeEnvio& pedido, QWidget* pai = nullptr);

    // PainelDeEnvio: each change that shows is painted at once; a repeated one costs nothing.
    void Titulo(const QString& texto) override;
    void MedidorMaximo(int maximo) override;
    void MedidorValor(int valor) override;
    void MedidorVisivel(bool visivel) override;
    bool AguardandoPorta(const QString& emUsoPor) override;

    bool EnviarUsuario();
    bool EnviarGrupo();
    bool AguardaIDeInicializaModoAutomatico();

    // The animation: the counter runs 1 to 7 and imgFigura shows imgFig(counter - 1).
    qint16 Contador() const { return m_contador; }
    const QPixmap& imgFig(int indice) const { return m_imgFig.at(std::size_t(indice)); }

public slots:
    // Runs the transmission when EnvioIniciado is false, then closes the window; otherwise
    // does nothing, so later activations never send twice.
    void Form_Activate();
    void tmpTemporizador_Timer();
    // Escape and close requests do nothing while the send runs, but end a wait for the modem.
    void reject() override;

protected:
    bool event(QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

private:
    void IniciaProcesso();
    void AtivaDepois();

    Contexto& m_ctx;
    PedidoDeEnvio& m_pedido;
    QLabel* m_pnlTitulo = nullptr;
    QProgressBar* m_valStatus = nullptr;
    QLabel* m_imgFigura = nullptr;
    QPushButton* m_cmdRetornar = nullptr;
    bool m_aguardandoPorta = false;
    bool m_esperaCancelada = false;
    QTimer* m_tmpTemporizador = nullptr;
    std::array<QPixmap, 7> m_imgFig;
    qint16 m_contador = 0;
    bool m_enviando = false;
    bool m_mostrada = false;
};
