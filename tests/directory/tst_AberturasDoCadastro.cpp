// The windows that open the user entry dialog, and what they show when it returns.
#include "BancadaVirtual.h"
#include "CadastroDeTeste.h"
#include "compose/frmMontaMsg.h"
#include "directory/frmVisualizaUsuarios.h"
#include "store/Consultas.h"
#include "store/Snapshot.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {
// When the entry dialog opens: its name box as the caller filled it, then the new name saved.
QString RenomeiaNoDialogo(QWidget& janela, const QString& botao, const QString& novoNome) {
    QString visto = QStringLiteral("nenhum diálogo");
    QTimer::singleShot(0, [&] {
        QWidget* dialogo = QApplication::activeModalWidget();
        if (!dialogo || dialogo->objectName() != QLatin1String("frmCadastraUsuarios"))
            return;
        auto* nome = dialogo->findChild<QLineEdit*>("txtNomeUsuario");
        visto = nome->text();
        nome->setText(novoNome);
        dialogo->findChild<QLineEdit*>("txtPagerID")->setText(novoNome + "-p");
        QTest::mouseClick(dialogo->findChild<QToolButton*>("cmdCadastrarGrupo"), Qt::LeftButton);
    });
    QTest::mouseClick(janela.findChild<QToolButton*>(botao), Qt::LeftButton);
    return visto;
}
} // namespace

class tst_AberturasDoCadastro : public QObject {
    Q_OBJECT
private slots:
    void Abertura_data() {
        QTest::addColumn<bool>("visualizador");
        QTest::addColumn<QString>("botao");
        QTest::addColumn<QString>("visto");
        QTest::addColumn<QString>("lista");
        QTest::newRow("envio: alterar o segundo") << false << "cmdAlterar"
                                                  << "Bruno"
                                                  << "Ana;Ana;Zeca";
        QTest::newRow("envio: novo") << false << "cmdCadastrar"
                                     << ""
                                     << "Ana;Ana;Bruno;Zeca";
        QTest::newRow("visualizador: alterar") << true << "cmdAlterarGrupo"
                                               << "Bruno"
                                               << "Ana;Ana;Zeca";
        QTest::newRow("visualizador: novo") << true << "cmdCadastrarGrupo"
                                            << ""
                                            << "Ana;Ana;Bruno;Zeca";
    }
    void Abertura() {
        QFETCH(bool, visualizador);
        QFETCH(QString, botao);
        BancadaVirtual bancada;
        QVERIFY(bancada.ambiente.AbreBancoVazio());
        int pager = 0;
        for (const char* nome : {"Bruno", "Ana", "Ana"})
            CadastraUsuario(nome, QString::number(++pager));
        std::unique_ptr<QDialog> janela;
        if (visualizador)
            janela = std::make_unique<frmVisualizaUsuarios>(bancada.operador, nullptr);
        else
            janela = std::make_unique<frmMontaMsg>(bancada.ctx);
        auto* cmbUsuario = janela->findChild<QComboBox*>("cmbUsuario");
        cmbUsuario->setCurrentIndex(2);
        QTEST(RenomeiaNoDialogo(*janela, botao, "Zeca"), "visto");
        QStringList nomes;
        for (int i = 0; i < cmbUsuario->count(); ++i)
            nomes << cmbUsuario->itemText(i);
        QTEST(nomes.join(';'), "lista");
        QCOMPARE(cmbUsuario->currentIndex(), 0); // the first by name, after any change
        if (visualizador)
            QVERIFY(janela->findChild<QLabel*>("pnlDescricaoGrupo")->text().startsWith("Código do Pager: "));
    }

    // Two users of one name are two entries; deleting the second keeps the first and his history.
    void ExclusaoPeloVisualizador() {
        BancadaVirtual bancada;
        QVERIFY(bancada.ambiente.AbreBancoVazio());
        CadastraUsuario("Ana", "1");
        const qint32 segunda = CadastraUsuario("Ana", "2");
        QVERIFY(GravaLog("20261206", "10:00", "Ana", "oi", "2", segunda));
        frmVisualizaUsuarios janela(bancada.operador, nullptr);
        auto* cmbUsuario = janela.findChild<QComboBox*>("cmbUsuario");
        cmbUsuario->setCurrentIndex(1);
        QCOMPARE(janela.UsuarioSelecionado(), segunda);
        bancada.operador.respostas = {Resposta::Nao, Resposta::Sim, Resposta::Sim};
        for (int vez = 0; vez < 3; ++vez)
            QTest::mouseClick(janela.findChild<QToolButton*>("cmdExcluirGrupo"), Qt::LeftButton);
        QCOMPARE(cmbUsuario->count(), 0);
        QCOMPARE(janela.findChild<QLabel*>("pnlDescricaoGrupo")->text(), "Não há usuários cadastrados.");
        QTest::mouseClick(janela.findChild<QToolButton*>("cmdAlterarGrupo"), Qt::LeftButton);
        QCOMPARE(bancada.operador.TextosDasCaixas().last(), "Não há usuários cadastrados.");
        QCOMPARE(bancada.operador.TextosDasCaixas().size(), 4);
        QCOMPARE(Snapshot("Select Count(*) As N From Log").Campo("N").toInt(), 1);
    }
};

QTEST_MAIN(tst_AberturasDoCadastro)
#include "tst_AberturasDoCadastro.moc"
