#include "Destinatario.h"

#include "store/Consultas.h"
#include "store/Snapshot.h"

#include <QStringList>

namespace {

Destinatario FalhaDoBanco(const Snapshot& consulta) {
    return {0, QStringLiteral("não foi possível ler o cadastro no Pager.Mdb (%1)").arg(consulta.Erro()),
            true};
}

// Names that contain the text, to help with a misspelt one.
QString Parecidos(const QString& sql, const QString& nome) {
    Snapshot consulta(sql, {QLatin1Char('%') + nome + QLatin1Char('%')});
    QStringList nomes;
    for (; consulta.Valido() && !consulta.Eof(); consulta.MoveNext())
        nomes << QLatin1Char('"') + consulta.Campo(QStringLiteral("Nome")).toString() + QLatin1Char('"');
    return nomes.isEmpty() ? QString()
                           : QStringLiteral(" Nomes parecidos: %1.").arg(nomes.join(QStringLiteral(", ")));
}

// Names that a reader takes for the same: accents, capitals and surrounding blanks ignored.
QString ChaveDoNome(const QString& nome) {
    QString chave;
    for (const QChar c : nome.trimmed().normalized(QString::NormalizationForm_KD))
        if (c.category() != QChar::Mark_NonSpacing)
            chave += c;
    return chave.toCaseFolded();
}

} // namespace

Destinatario ProcuraUsuario(const QString& nome) {
    // Every user is read: a namesake differing only in accents escapes the store's comparison.
    Snapshot todos(
        QStringLiteral("Select ID_Usuario, Nome_Usuario, ID_Pager From Usuarios Order by ID_Usuario"));
    if (!todos.Valido())
        return FalhaDoBanco(todos);
    struct Usuario {
        qint32 id;
        QString nome, pager;
    };
    const QString chave = ChaveDoNome(nome);
    QList<Usuario> achados;
    for (; !todos.Eof(); todos.MoveNext())
        if (const QString nomeDoUsuario = todos.Campo(QStringLiteral("Nome_Usuario")).toString();
            ChaveDoNome(nomeDoUsuario) == chave)
            achados.append({todos.Campo(QStringLiteral("ID_Usuario")).toInt(), nomeDoUsuario,
                            todos.Campo(QStringLiteral("ID_Pager")).toString().trimmed()});
    if (achados.isEmpty())
        return {0,
                QStringLiteral("nenhum usuário do cadastro se chama \"%1\"; nada foi discado.").arg(nome) +
                    Parecidos(QStringLiteral("Select Nome_Usuario As Nome From Usuarios Where Nome_Usuario "
                                             "Like ? Order by Nome_Usuario Limit 5"),
                              nome),
                false};
    if (achados.size() > 1) {
        QStringList encontrados;
        for (const Usuario& u : achados)
            encontrados << QStringLiteral("\"%1\" (pager %2)").arg(u.nome, u.pager);
        return {0,
                QStringLiteral("há %1 usuários com o nome \"%2\": %3; nada foi discado. Use --pager CÓDIGO "
                               "--nome NOME para escolher um.")
                    .arg(encontrados.size())
                    .arg(nome, encontrados.join(QStringLiteral(", "))),
                false};
    }
    if (achados.first().pager.isEmpty())
        return {0,
                QStringLiteral("o usuário \"%1\" não tem código de pager; nada foi discado.")
                    .arg(achados.first().nome),
                false};
    return {achados.first().id, {}, false};
}

Destinatario ProcuraGrupo(const QString& nome) {
    Snapshot consulta(
        QStringLiteral("Select ID_Grupo, Nome_Grupo From Grupos Where Nome_Grupo = ? Order by ID_Grupo"),
        {nome});
    if (!consulta.Valido())
        return FalhaDoBanco(consulta);
    if (consulta.Eof())
        return {0,
                QStringLiteral("nenhum grupo do cadastro se chama \"%1\"; nada foi discado.").arg(nome) +
                    Parecidos(QStringLiteral("Select Nome_Grupo As Nome From Grupos Where Nome_Grupo Like ? "
                                             "Order by Nome_Grupo Limit 5"),
                              nome),
                false};
    if (consulta.RecordCount() > 1)
        return {
            0,
            QStringLiteral("há %1 grupos com o nome \"%2\"; nada foi discado. Renomeie um deles no Bipvox.")
                .arg(consulta.RecordCount())
                .arg(nome),
            false};
    const qint32 id = consulta.Campo(QStringLiteral("ID_Grupo")).toInt();
    Snapshot membros(Consultas::MembrosDoGrupo, {id});
    if (!membros.Valido())
        return FalhaDoBanco(membros);
    if (membros.Eof())
        return {0,
                QStringLiteral("o grupo \"%1\" não tem nenhum membro; nada foi discado.")
                    .arg(consulta.Campo(QStringLiteral("Nome_Grupo")).toString()),
                false};
    return {id, {}, false};
}
