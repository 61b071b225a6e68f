#include "settings/frmAreaConexao.h"

#include "settings/Conexao.h"
#include "settings/PerfilINI.h"
#include "ui/frmControles.h"
#include "ui/frmMensagem.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSpinBox>

namespace {
const QString SecaoModem = QStringLiteral("MODEM");
const QString kConfiguracoes = QStringLiteral("Configurações");
const QString PadraoDaLinha = QStringLiteral("9600,e,7,1");

// The serial control's notation: speed, parity (n, e, o, m, s), data bits 5 to 8, stop bits.
const QRegularExpression
    FormatoDaLinha(QStringLiteral("^\\s*[1-9]\\d{1,6}\\s*,\\s*[neomsNEOMS]\\s*,\\s*[5-8]\\s*,"
                                  "\\s*(1|1\\.5|2)\\s*$"));

struct Chave {
    QString secao;
    QString nome;
};
const Chave Chaves[] = {
    {SecaoConexao, QStringLiteral("Tipo")},       {SecaoModem, kConfiguracoes},
    {SecaoConexao, QStringLiteral("Endereço")},   {SecaoConexao, QStringLiteral("Porta TCP")},
    {SecaoConexao, QStringLiteral("Senha")},      {SecaoConexao, QStringLiteral("Texto")},
    {SecaoConexao, QStringLiteral("Controles")},  {SecaoConexao, QStringLiteral("Tamanho da Página")},
    {SecaoConexao, QStringLiteral("Texto Longo")}};
// The values of "Controles", in the order of the list.
const QStringList ValoresDosControles{QStringLiteral("Manter"), QStringLiteral("Escape"),
                                      QStringLiteral("Branco")};

void Avisa(QWidget* pai, const QString& texto) {
    MostraMensagem(pai, texto, QStringLiteral("Advertência:"), Icone::Informacao);
}

// What each key means now, a missing key read as its default.
QStringList ValoresAtuais() {
    QStringList valores{NomeDoTipo(LeTipoDeConexao())};
    valores << LeINI(SecaoModem, kConfiguracoes, PadraoDaLinha);
    for (int i = 2; i < 5; ++i)
        valores << LeINI(Chaves[i].secao, Chaves[i].nome, QString());
    const RegrasDoTexto regras = LeRegrasDoTexto();
    valores << (regras.win1252 ? QStringLiteral("Windows-1252") : QStringLiteral("Simples"))
            << ValoresDosControles[int(regras.controles)] << QString::number(regras.tamanhoDaPagina)
            << (regras.divide ? QStringLiteral("Dividir") : QStringLiteral("Recusar"));
    return valores;
}
} // namespace

frmAreaConexao::frmAreaConexao(QWidget* pai) : QGroupBox(QStringLiteral("Conexão"), pai) {
    setObjectName(QStringLiteral("fraConexao"));
    auto* campos = new QGridLayout(this);

    auto* tipos = new QHBoxLayout;
    m_optModem = new QRadioButton(QStringLiteral("&Modem (discagem)"), this);
    m_optModem->setObjectName(QStringLiteral("optModem"));
    m_optDireta = new QRadioButton(QStringLiteral("Linha serial &direta"), this);
    m_optDireta->setObjectName(QStringLiteral("optDireta"));
    m_optTCP = new QRadioButton(QStringLiteral("&TCP/IP (rede)"), this);
    m_optTCP->setObjectName(QStringLiteral("optTCP"));
    for (QRadioButton* opcao : {m_optModem, m_optDireta, m_optTCP}) {
        tipos->addWidget(opcao);
        connect(opcao, &QRadioButton::toggled, this, &frmAreaConexao::AtualizaCampos);
    }
    campos->addLayout(tipos, 0, 0, 1, 4);

    m_txtConfiguracoes = new QLineEdit(this);
    m_txtConfiguracoes->setObjectName(QStringLiteral("txtConfiguracoes"));
    m_txtConfiguracoes->setMaxLength(99);
    m_txtConfiguracoes->setPlaceholderText(PadraoDaLinha);
    m_txtConfiguracoes->setToolTip(QStringLiteral(
        "Velocidade, paridade (n, e, o), bits de dados, bits de parada: 9600,e,7,1 ou 9600,n,8,1"));
    campos->addWidget(CriaRotulo(this, QStringLiteral("Parâmetros da &linha serial:"),
                                 QStringLiteral("pnlConfiguracoes"), m_txtConfiguracoes),
                      1, 0);
    campos->addWidget(m_txtConfiguracoes, 1, 1, 1, 3);

    m_txtEndereco = new QLineEdit(this);
    m_txtEndereco->setObjectName(QStringLiteral("txtEndereco"));
    m_txtEndereco->setMaxLength(99);
    campos->addWidget(CriaRotulo(this, QStringLiteral("&Endereço da central:"), QStringLiteral("pnlEndereco"),
                                 m_txtEndereco),
                      2, 0);
    campos->addWidget(m_txtEndereco, 2, 1);
    m_txtPortaTCP = new QLineEdit(this);
    m_txtPortaTCP->setObjectName(QStringLiteral("txtPortaTCP"));
    m_txtPortaTCP->setValidator(new QIntValidator(1, 65535, m_txtPortaTCP));
    m_txtPortaTCP->setMaximumWidth(70);
    campos->addWidget(
        CriaRotulo(this, QStringLiteral("P&orta:"), QStringLiteral("pnlPortaTCP"), m_txtPortaTCP), 2, 2);
    campos->addWidget(m_txtPortaTCP, 2, 3);

    m_txtSenha = new QLineEdit(this);
    m_txtSenha->setObjectName(QStringLiteral("txtSenha"));
    m_txtSenha->setMaxLength(99);
    m_txtSenha->setEchoMode(QLineEdit::Password);
    m_txtSenha->setToolTip(QStringLiteral("Deixe vazia se a central não pede senha"));
    campos->addWidget(
        CriaRotulo(this, QStringLiteral("&Senha de acesso:"), QStringLiteral("pnlSenha"), m_txtSenha), 3, 0);
    campos->addWidget(m_txtSenha, 3, 1, 1, 3);
    auto* aviso = new QLabel(QStringLiteral("Com uma senha, o Bipvoxcf.INI passa a ser legível só pelo seu "
                                            "usuário do sistema."),
                             this);
    aviso->setObjectName(QStringLiteral("pnlAvisoSenha"));
    aviso->setWordWrap(true);
    campos->addWidget(aviso, 4, 1, 1, 3);

    m_chkWin1252 = new QCheckBox(
        QStringLiteral("Enviar letras acentuadas como estão (Windows-1252) numa linha de &8 bits"), this);
    m_chkWin1252->setObjectName(QStringLiteral("chkWin1252"));
    m_chkWin1252->setToolTip(QStringLiteral("Desmarcado, ou numa linha de 7 bits, \"ô\" vai como \"o\""));
    campos->addWidget(m_chkWin1252, 5, 0, 1, 4);

    m_cmbControles = new QComboBox(this);
    m_cmbControles->setObjectName(QStringLiteral("cmbControles"));
    m_cmbControles->addItems({QStringLiteral("Como estão (quebra de linha vai como LF)"),
                              QStringLiteral("Escape TAP 1.8 (SUB e o caractere + 64)"),
                              QStringLiteral("Trocados por espaço")});
    campos->addWidget(CriaRotulo(this, QStringLiteral("&Caracteres de controle:"),
                                 QStringLiteral("pnlControles"), m_cmbControles),
                      6, 0);
    campos->addWidget(m_cmbControles, 6, 1, 1, 3);

    m_txtTamanhoDaPagina = new QSpinBox(this);
    m_txtTamanhoDaPagina->setObjectName(QStringLiteral("txtTamanhoDaPagina"));
    m_txtTamanhoDaPagina->setRange(MenorPagina, MaiorPagina);
    m_txtTamanhoDaPagina->setSuffix(QStringLiteral(" caracteres"));
    campos->addWidget(CriaRotulo(this, QStringLiteral("Tamanho máximo da &página:"),
                                 QStringLiteral("pnlTamanhoDaPagina"), m_txtTamanhoDaPagina),
                      7, 0);
    campos->addWidget(m_txtTamanhoDaPagina, 7, 1);
    m_cmbTextoLongo = new QComboBox(this);
    m_cmbTextoLongo->setObjectName(QStringLiteral("cmbTextoLongo"));
    m_cmbTextoLongo->setAccessibleName(QStringLiteral("Texto maior que uma página"));
    m_cmbTextoLongo->addItems({QStringLiteral("Texto maior: recusar"),
                               QStringLiteral("Texto maior: dividir em páginas numeradas")});
    campos->addWidget(m_cmbTextoLongo, 7, 2, 1, 2);
}

void frmAreaConexao::AtualizaCampos() {
    const bool tcp = m_optTCP->isChecked();
    m_txtConfiguracoes->setEnabled(!tcp);
    m_txtEndereco->setEnabled(tcp);
    m_txtPortaTCP->setEnabled(tcp);
}

void frmAreaConexao::Preenche() {
    const QStringList valores = ValoresAtuais();
    const TipoDeConexao tipo = LeTipoDeConexao();
    m_optModem->setChecked(tipo == TipoDeConexao::Modem);
    m_optDireta->setChecked(tipo == TipoDeConexao::Direta);
    m_optTCP->setChecked(tipo == TipoDeConexao::TCP);
    m_txtConfiguracoes->setText(valores[1]);
    m_txtEndereco->setText(valores[2]);
    m_txtPortaTCP->setText(valores[3]);
    m_txtSenha->setText(valores[4]);
    m_chkWin1252->setChecked(valores[5] == QLatin1String("Windows-1252"));
    m_cmbControles->setCurrentIndex(int(ValoresDosControles.indexOf(valores[6])));
    m_txtTamanhoDaPagina->setValue(valores[7].toInt());
    m_cmbTextoLongo->setCurrentIndex(valores[8] == QLatin1String("Dividir") ? 1 : 0);
    AtualizaCampos();
}

bool frmAreaConexao::Valida() {
    if (!m_optTCP->isChecked() && !FormatoDaLinha.match(m_txtConfiguracoes->text()).hasMatch()) {
        Avisa(this,
              QStringLiteral("Os parâmetros da linha serial devem ser velocidade, paridade (n, e, o, m ou "
                             "s), bits de dados (5 a 8) e bits de parada (1, 1.5 ou 2), como 9600,e,7,1."));
        m_txtConfiguracoes->setFocus();
        return false;
    }
    if (m_optTCP->isChecked() && m_txtEndereco->text().trimmed().isEmpty()) {
        Avisa(this,
              QStringLiteral("Informe o endereço da central (nome ou número IP) para a conexão TCP/IP."));
        m_txtEndereco->setFocus();
        return false;
    }
    if (m_optTCP->isChecked() && !m_txtPortaTCP->hasAcceptableInput()) {
        Avisa(this, QStringLiteral("Informe a porta TCP da central, um número de 1 a 65535."));
        m_txtPortaTCP->setFocus();
        return false;
    }
    if (const QString problema = ProblemaDaSenha(m_txtSenha->text()); !problema.isEmpty()) {
        Avisa(this, problema);
        m_txtSenha->setFocus();
        return false;
    }
    return true;
}

void frmAreaConexao::Grava() {
    const TipoDeConexao tipo = m_optTCP->isChecked()      ? TipoDeConexao::TCP
                               : m_optDireta->isChecked() ? TipoDeConexao::Direta
                                                          : TipoDeConexao::Modem;
    const QStringList valores{
        NomeDoTipo(tipo),
        m_txtConfiguracoes->text().trimmed(),
        m_txtEndereco->text().trimmed(),
        m_txtPortaTCP->text().trimmed(),
        m_txtSenha->text(),
        m_chkWin1252->isChecked() ? QStringLiteral("Windows-1252") : QStringLiteral("Simples"),
        ValoresDosControles.value(m_cmbControles->currentIndex()),
        QString::number(m_txtTamanhoDaPagina->value()),
        m_cmbTextoLongo->currentIndex() == 1 ? QStringLiteral("Dividir") : QStringLiteral("Recusar")};
    const QStringList atuais = ValoresAtuais();
    constexpr int kSenha = 4;
    for (int i = 0; i < valores.size(); ++i) {
        if (valores[i] == atuais[i])
            continue;
        if (i == kSenha)
            GravaSenhaDeAcesso(valores[i]);
        else
            GravaINI(Chaves[i].secao, Chaves[i].nome, valores[i]);
    }
}
