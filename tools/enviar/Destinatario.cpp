#include "Destinatario.h"

#include "NomesParecidos.h"
#include "store/ChaveDeOrdem.h"
#include "store/Consultas.h"
#include "store/SQLiteNativo.h"
#include "store/Snapshot.h"

#include <QCollator>
#include <QStringList>

namespace {

Destinatario FalhaDoBanco(const Snapshot& consulta) {
    return {0, QStringLiteral("não foi possível ler o cadastro no Pager.Mdb (%1)").arg(consulta.Erro()),
            true};
}

// The closest names of the directory, for a name that matched none.
QString Parecidos(const QString& sql, const QString& nome) {
    QStringList todos;
    for (Snapshot consulta(sql); consulta.Valido() && !consulta.Eof(); consulta.MoveNext())
        todos << consulta.Campo(QStringLiteral("Nome")).toString();
    QStringList nomes;
    for (const QString& parecido : NomesParecidos(nome, todos))
        nomes << QLatin1Char('"') + parecido + QLatin1Char('"');
    return nomes.isEmpty() ? QString()
                           : QStringLiteral(" Nomes parecidos: %1.").arg(nomes.join(QStringLiteral(", ")));
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
    // The name matches as the directory compares names (capitals ignored, accents not); any user
    // a reader would take for the same name makes it ambiguous.
    const QCollator colador = ColadorDeNomes();
    const QString procurado = nome.trimmed();
    const QString chave = ChaveDoNome(nome);
    QList<Usuario> parentes;
    int exatos = 0;
    for (; !todos.Eof(); todos.MoveNext()) {
        const QString nomeDoUsuario = todos.Campo(QStringLiteral("Nome_Usuario")).toString();
        if (ChaveDoNome(nomeDoUsuario) != chave)
            continue;
        parentes.append({todos.Campo(QStringLiteral("ID_Usuario")).toInt(), nomeDoUsuario,
                         todos.Campo(QStringLiteral("ID_Pager")).toString().trimmed()});
        if (colador.compare(nomeDoUsuario.trimmed(), procurado) == 0)
            ++exatos;
    }
    if (exatos == 0)
        return {0,
                QStringLiteral("nenhum usuário do cadastro se chama \"%1\"; nada foi discado.").arg(nome) +
                    Parecidos(QStringLiteral("Select Nome_Usuario As Nome From Usuarios"), nome),
                false, true};
    if (parentes.size() > 1) {
        QStringList encontrados;
        for (const Usuario& u : parentes)
            encontrados << QStringLiteral("\"%1\" (pager %2)").arg(u.nome, u.pager);
        return {0,
                QStringLiteral("há %1 usuários com o nome \"%2\": %3; nada foi discado. Use --pager CÓDIGO "
                               "--nome NOME para escolher um.")
                    .arg(encontrados.size())
                    .arg(nome, encontrados.join(QStringLiteral(", "))),
                false};
    }
    if (parentes.first().pager.isEmpty())
        return {0,
                QStringLiteral("o usuário \"%1\" não tem código de pager; nada foi discado.")
                    .arg(parentes.first().nome),
                false};
    return {parentes.first().id, {}, false};
}

Destinatario ProcuraGrupo(const QString& nome) {
    Snapshot consulta(
        QStringLiteral(
            "Select g.ID_Grupo, g.Nome_Grupo From Grupos_Chave k Join Grupos g On g.ID_Grupo = k.ID_Grupo "
            "Where k.Chave = ? Order by g.ID_Grupo"),
        {ChaveDeOrdem(nome)});
    if (!consulta.Valido())
        return FalhaDoBanco(consulta);
    if (consulta.Eof())
        return {0,
                QStringLiteral("nenhum grupo do cadastro se chama \"%1\"; nada foi discado.").arg(nome) +
                    Parecidos(QStringLiteral("Select Nome_Grupo As Nome From Grupos"), nome),
                false, true};
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
