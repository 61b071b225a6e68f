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

} // namespace

Destinatario ProcuraUsuario(const QString& nome) {
    Snapshot consulta(
        QStringLiteral("Select ID_Usuario, Nome_Usuario, ID_Pager From Usuarios Where Nome_Usuario = ? "
                       "Order by ID_Usuario"),
        {nome});
    if (!consulta.Valido())
        return FalhaDoBanco(consulta);
    if (consulta.Eof())
        return {0,
                QStringLiteral("nenhum usuário do cadastro se chama \"%1\"; nada foi discado.").arg(nome) +
                    Parecidos(QStringLiteral("Select Nome_Usuario As Nome From Usuarios Where Nome_Usuario "
                                             "Like ? Order by Nome_Usuario Limit 5"),
                              nome),
                false};
    if (consulta.RecordCount() > 1) {
        QStringList encontrados;
        for (; !consulta.Eof(); consulta.MoveNext())
            encontrados << QStringLiteral("\"%1\" (pager %2)")
                               .arg(consulta.Campo(QStringLiteral("Nome_Usuario")).toString(),
                                    consulta.Campo(QStringLiteral("ID_Pager")).toString().trimmed());
        return {0,
                QStringLiteral("há %1 usuários com o nome \"%2\": %3; nada foi discado. Use --pager CÓDIGO "
                               "--nome NOME para escolher um.")
                    .arg(encontrados.size())
                    .arg(nome, encontrados.join(QStringLiteral(", "))),
                false};
    }
    if (consulta.Campo(QStringLiteral("ID_Pager")).toString().trimmed().isEmpty())
        return {0,
                QStringLiteral("o usuário \"%1\" não tem código de pager; nada foi discado.")
                    .arg(consulta.Campo(QStringLiteral("Nome_Usuario")).toString()),
                false};
    return {consulta.Campo(QStringLiteral("ID_Usuario")).toInt(), {}, false};
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
