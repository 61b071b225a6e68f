#include "CadastroDeTeste.h"

#include "store/Snapshot.h"

qint32 CadastraUsuario(const QString& nome, const QString& pager) {
    if (!Executa(QStringLiteral("Insert Into Usuarios (Nome_Usuario, ID_Pager, Descricao, Data_Cadastro) "
                                "Values (?, ?, ?, ?)"),
                 {nome, pager, QStringLiteral("teste"), QStringLiteral("01/01/2024")}))
        return 0;
    return Coluna(QStringLiteral("Select Max(ID_Usuario) As L From Usuarios")).value(0).toInt();
}

QStringList Coluna(const QString& sql, const QString& coluna, const QVariantList& valores) {
    QStringList linhas;
    for (Snapshot s(sql, valores); !s.Eof(); s.MoveNext())
        linhas << s.Campo(coluna).toString();
    return linhas;
}

qint32 CadastraGrupo(const QString& nome, const QVector<qint32>& membros) {
    if (!Executa(QStringLiteral("Insert Into Grupos (Nome_Grupo, Descricao_Grupo) Values (?, ?)"),
                 {nome, QStringLiteral("teste")}))
        return 0;
    const qint32 id = Coluna(QStringLiteral("Select Max(ID_Grupo) As L From Grupos")).value(0).toInt();
    for (qint32 membro : membros)
        Executa(QStringLiteral("Insert Into Usuario_Grupo (ID_Usuario, ID_Grupo) Values (?, ?)"),
                {membro, id});
    return id;
}
