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

// The closest of the names (their keys, when known, in chaves), for a name that matched none.
QString Parecidos(const QString& nome, const QStringList& todos, const QStringList& chaves = {}) {
    QStringList nomes;
    for (const QString& parecido : NomesParecidos(nome, todos, 5, chaves))
        nomes << QLatin1Char('"') + parecido + QLatin1Char('"');
    return nomes.isEmpty() ? QString()
                           : QStringLiteral(" Nomes parecidos: %1.").arg(nomes.join(QStringLiteral(", ")));
}

QStringList TodosOsGrupos() {
    QStringList nomes;
    for (Snapshot grupos(QStringLiteral("Select Nome_Grupo From Grupos")); !grupos.Eof(); grupos.MoveNext())
        nomes << grupos.Campo(QStringLiteral("Nome_Grupo")).toString();
    return nomes;
}

} // namespace

Destinatario ProcuraUsuario(const QString& nome, Busca busca) {
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
    QStringList nomes, chaves; // of every user read, for the suggestions
    const auto examina = [&](Snapshot& usuarios) {
        parentes.clear();
        exatos = 0;
        for (; !usuarios.Eof(); usuarios.MoveNext()) {
            const QString nomeDoUsuario = usuarios.Campo(QStringLiteral("Nome_Usuario")).toString();
            const QString chaveDoUsuario = ChaveDoNome(nomeDoUsuario);
            nomes << nomeDoUsuario;
            chaves << chaveDoUsuario;
            if (chaveDoUsuario != chave)
                continue;
            parentes.append({usuarios.Campo(QStringLiteral("ID_Usuario")).toInt(), nomeDoUsuario,
                             usuarios.Campo(QStringLiteral("ID_Pager")).toString().trimmed()});
            if (colador.compare(nomeDoUsuario.trimmed(), procurado) == 0)
                ++exatos;
        }
    };
    // First the users whose key differs at most in accents and capitals, straight from the key's
    // index: a name typed as stored is decided there (a namesake stored with other blanks, or
    // differing in letters the key leaves alone, is not looked for then).
    const QString semAcentos = ChaveDeOrdem(procurado).section(QChar(1), 0, 0);
    Snapshot vizinhos(QStringLiteral("Select u.ID_Usuario, u.Nome_Usuario, u.ID_Pager From Usuarios_Chave k "
                                     "Join Usuarios u On u.ID_Usuario = k.ID_Usuario "
                                     "Where k.Chave >= ? And k.Chave < ? Order by u.ID_Usuario"),
                      {semAcentos + QChar(1), semAcentos + QChar(2)});
    if (!vizinhos.Valido())
        return FalhaDoBanco(vizinhos);
    examina(vizinhos);
    if (exatos == 0 && busca == Busca::Completa) {
        // Every user is read: a namesake differing in blanks or in letters the key keeps as they
        // are escapes the index.
        Snapshot todos(
            QStringLiteral("Select ID_Usuario, Nome_Usuario, ID_Pager From Usuarios Order by ID_Usuario"));
        if (!todos.Valido())
            return FalhaDoBanco(todos);
        nomes.clear();
        chaves.clear();
        examina(todos);
    }
    if (exatos == 0)
        return {0,
                QStringLiteral("nenhum usuário do cadastro se chama \"%1\"; nada foi discado.").arg(nome) +
                    (busca == Busca::Completa ? Parecidos(nome, nomes, chaves) : QString()),
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

Destinatario ProcuraGrupo(const QString& nome, Busca busca) {
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
                    (busca == Busca::Completa ? Parecidos(nome, TodosOsGrupos()) : QString()),
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
