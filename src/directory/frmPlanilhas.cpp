#include "directory/frmPlanilhas.h"

#include "common/Csv.h"
#include "store/Consultas.h"
#include "store/ListaDeNomes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

namespace {

const QString TituloDoErro = QStringLiteral("Erro:");
const QString FiltroPontoEVirgula =
    QStringLiteral("Planilha CSV, campos separados por ponto e vírgula (*.csv)");
const QString FiltroVirgula = QStringLiteral("Planilha CSV, campos separados por vírgula (*.csv)");

QDateEdit* Data(QWidget* pai, const QString& nome) {
    auto* data = new QDateEdit(QDate::currentDate(), pai);
    data->setObjectName(nome);
    data->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    data->setCalendarPopup(true);
    return data;
}

} // namespace

frmExportaHistorico::frmExportaHistorico(QWidget* pai) : QDialog(pai) {
    setWindowTitle(QStringLiteral("Exportar Histórico"));
    auto* forma = new QFormLayout(this);
    m_chkDe = new QCheckBox(QStringLiteral("&Desde:"), this);
    m_chkAte = new QCheckBox(QStringLiteral("&Até:"), this);
    m_txtDe = Data(this, QStringLiteral("txtDe"));
    m_txtAte = Data(this, QStringLiteral("txtAte"));
    m_cmbUsuario = new QComboBox(this);
    m_cmbUsuario->setObjectName(QStringLiteral("cmbUsuario"));
    m_cmbUsuario->addItem(QStringLiteral("Todos os usuários"));
    m_ids << 0;
    const ListaDeNomes usuarios = LeListaDeNomes(Consultas::IdsENomesDosUsuarios);
    m_cmbUsuario->addItems(usuarios.nomes);
    m_ids << usuarios.ids;
    forma->addRow(m_chkDe, m_txtDe);
    forma->addRow(m_chkAte, m_txtAte);
    forma->addRow(QStringLiteral("&Usuário:"), m_cmbUsuario);
    auto* botoes = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    botoes->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Exportar"));
    botoes->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    connect(botoes, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);
    forma->addRow(botoes);
}

FiltroDoHistorico frmExportaHistorico::Filtro() const {
    return {m_chkDe->isChecked() ? m_txtDe->date() : QDate(),
            m_chkAte->isChecked() ? m_txtAte->date() : QDate(), m_ids.value(m_cmbUsuario->currentIndex())};
}

void ExportaParaCsv(QWidget* pai, Operador& operador, Planilha planilha) {
    FiltroDoHistorico filtro;
    if (planilha == Planilha::Historico) {
        frmExportaHistorico pergunta(pai);
        if (pergunta.exec() != QDialog::Accepted)
            return;
        filtro = pergunta.Filtro();
    }
    const char* const nomes[] = {"usuarios.csv", "grupos.csv", "participacoes.csv", "historico.csv"};
    QString escolhido = FiltroPontoEVirgula;
    const QString arquivo = QFileDialog::getSaveFileName(
        pai, QStringLiteral("Exportar para CSV"), QDir::home().filePath(QLatin1String(nomes[int(planilha)])),
        FiltroPontoEVirgula + QStringLiteral(";;") + FiltroVirgula, &escolhido);
    if (arquivo.isEmpty())
        return;
    QString erro;
    QByteArray csv;
    {
        const AmpulhetaLigada ampulheta(operador);
        csv = EscreveCsv(LinhasParaExportar(planilha, filtro, &erro),
                         escolhido == FiltroVirgula ? QLatin1Char(',') : QLatin1Char(';'));
    }
    QSaveFile saida(arquivo);
    if (erro.isEmpty() &&
        !(saida.open(QIODevice::WriteOnly) && saida.write(csv) == csv.size() && saida.commit()))
        erro = saida.errorString();
    if (!erro.isEmpty()) {
        operador.Mensagem(QStringLiteral("Não foi possível exportar para %1.\n\n(%2)")
                              .arg(QDir::toNativeSeparators(arquivo), erro),
                          TituloDoErro, Icone::Informacao);
        return;
    }
    operador.Status(QStringLiteral(" Exportado para %1.").arg(QDir::toNativeSeparators(arquivo)));
}

void ImportaDeCsv(QWidget* pai, Operador& operador) {
    const QStringList nomes = QFileDialog::getOpenFileNames(
        pai, QStringLiteral("Importar de CSV (usuários, grupos, participações, histórico)"), QDir::homePath(),
        QStringLiteral("Planilhas CSV (*.csv *.txt);;Todos os arquivos (*)"));
    if (nomes.isEmpty())
        return;
    QList<ArquivoCsv> arquivos;
    for (const QString& nome : nomes) {
        QFile arquivo(nome);
        if (!arquivo.open(QIODevice::ReadOnly)) {
            operador.Mensagem(QStringLiteral("Não foi possível ler %1; nada foi importado.\n\n(%2)")
                                  .arg(QDir::toNativeSeparators(nome), arquivo.errorString()),
                              TituloDoErro, Icone::Informacao);
            return;
        }
        arquivos.append({QFileInfo(nome).fileName(), arquivo.readAll()});
    }
    Importacao previa;
    {
        const AmpulhetaLigada ampulheta(operador);
        previa = ImportaPlanilhas(arquivos, false);
    }
    QDialog janela(pai);
    janela.setObjectName(QStringLiteral("frmImportacao"));
    janela.setWindowTitle(QStringLiteral("Importar de CSV"));
    auto* coluna = new QVBoxLayout(&janela);
    coluna->addWidget(new QLabel(
        previa.Aplicavel() ? QStringLiteral("O que a importação fará (nada foi gravado ainda):")
                           : QStringLiteral("Há linhas recusadas: corrija-as e importe de novo. Nada "
                                            "será gravado."),
        &janela));
    auto* texto = new QPlainTextEdit(previa.Resumo(), &janela);
    texto->setObjectName(QStringLiteral("txtPrevia"));
    texto->setReadOnly(true);
    texto->setMinimumSize(640, 320);
    coluna->addWidget(texto);
    auto* botoes = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &janela);
    botoes->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Importar"));
    botoes->button(QDialogButtonBox::Ok)->setEnabled(previa.Aplicavel());
    botoes->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    QObject::connect(botoes, &QDialogButtonBox::accepted, &janela, &QDialog::accept);
    QObject::connect(botoes, &QDialogButtonBox::rejected, &janela, &QDialog::reject);
    coluna->addWidget(botoes);
    if (janela.exec() != QDialog::Accepted)
        return;
    Importacao feita;
    {
        const AmpulhetaLigada ampulheta(operador);
        feita = ImportaPlanilhas(arquivos, true, &previa);
    }
    if (!feita.Aplicavel()) {
        operador.Mensagem(QStringLiteral("Nada foi importado.\n\n") + feita.Resumo(), TituloDoErro,
                          Icone::Informacao);
        return;
    }
    operador.Status(QStringLiteral(" Importação concluída: %1 novo(s), %2 alterado(s).")
                        .arg(feita.Quantas(Acao::Nova))
                        .arg(feita.Quantas(Acao::Alterada)));
}
