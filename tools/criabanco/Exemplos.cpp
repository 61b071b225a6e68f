#include "Exemplos.h"

#include "store/BancoDeDados.h"
#include "store/Snapshot.h"

#include <QDate>
#include <QFile>
#include <QSqlDatabase>
#include <QStringList>

namespace {

struct UsuarioDeExemplo {
    const char* nome;
    const char* pager;
    const char* descricao;
};

// Accents, an apostrophe and a double quote on purpose: the demo shows they are stored as typed.
const UsuarioDeExemplo Usuarios[] = {
    {"Álvaro Nogueira", "1234567", "Técnico de manutenção, plantão noturno."},
    {"Ana Beatriz Conceição", "2345678", "Coordenação de enfermagem."},
    {"Pedro D'Ávila", "3456789", "Diretoria administrativa."},
    {"João \"Joca\" Antunes", "4567890", "Não há descrição para este usuário."},
    {"Cecília Brandão", "5678901", "Segurança patrimonial."},
    {"Élcio Façanha", "6789012", "Almoxarifado."},
    {"Ana Souza", "7890123", "Suporte de informática, sobreaviso."},
};

struct GrupoDeExemplo {
    const char* nome;
    const char* descricao;
    QStringList pagersDosMembros;
};

bool GravaUsuarios(QString* erro) {
    const QString hoje = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    for (const UsuarioDeExemplo& usuario : Usuarios) {
        if (!Executa(QStringLiteral("Insert Into Usuarios (Descricao, ID_Pager, Data_Cadastro, Nome_Usuario) "
                                    "Values (?, ?, ?, ?)"),
                     {QString::fromUtf8(usuario.descricao), QString::fromUtf8(usuario.pager), hoje,
                      QString::fromUtf8(usuario.nome)},
                     erro))
            return false;
    }
    return true;
}

bool GravaGrupo(const GrupoDeExemplo& grupo, QString* erro) {
    const QString nome = QString::fromUtf8(grupo.nome);
    if (!Executa(QStringLiteral("Insert Into Grupos (Descricao_Grupo, Nome_Grupo) Values (?, ?)"),
                 {QString::fromUtf8(grupo.descricao), nome}, erro))
        return false;
    Snapshot criado(QStringLiteral("Select ID_Grupo from Grupos Where Nome_Grupo = ?"), {nome});
    if (criado.Eof())
        return false;
    const QVariant idGrupo = criado.Campo(QStringLiteral("ID_Grupo"));
    for (const QString& pager : grupo.pagersDosMembros) {
        Snapshot membro(QStringLiteral("Select ID_Usuario from Usuarios Where ID_Pager = ?"), {pager});
        if (membro.Eof())
            return false;
        if (!Executa(QStringLiteral("Insert Into Usuario_Grupo (ID_Usuario, ID_Grupo) Values (?, ?)"),
                     {membro.Campo(QStringLiteral("ID_Usuario")), idGrupo}, erro))
            return false;
    }
    return true;
}

bool GravaTudo(QString* erro) {
    const GrupoDeExemplo grupos[] = {
        {"Manutenção", "Equipe de manutenção predial.", {"1234567", "6789012", "4567890"}},
        {"Diretoria", "Diretores e coordenadores.", {"3456789", "2345678"}},
        {"Plantão", "Quem atende de madrugada.", {"1234567", "2345678", "5678901", "7890123"}},
    };
    if (!GravaUsuarios(erro))
        return false;
    for (const GrupoDeExemplo& grupo : grupos)
        if (!GravaGrupo(grupo, erro))
            return false;
    return true;
}

} // namespace

bool GravaExemplos(QString* erro) {
    bool gravado = false;
    {
        QSqlDatabase banco = BancoDeDados(); // released before the connection is removed
        gravado = banco.transaction() && GravaTudo(erro) && banco.commit();
        if (!gravado)
            banco.rollback();
    }
    FechaBancoDeDados();
    return gravado;
}

bool GravaExemplos(const QString& diretorio, const QString& arquivo, QString* erro) {
    const QString caminho = diretorio + QLatin1Char('/') + arquivo;
    QString motivo;
    const bool gravado = AbreBancoDeDados(arquivo, diretorio) && GravaExemplos(&motivo);
    FechaBancoDeDados();
    if (gravado)
        return true;
    QFile::remove(caminho);
    if (erro)
        *erro = QStringLiteral("Não foi possível gravar os exemplos em \"%1\"%2")
                    .arg(caminho, motivo.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + motivo);
    return false;
}
