#include "directory/Planilhas.h"

#include "common/Csv.h"
#include "directory/CadastroDeUsuarios.h"
#include "store/BancoDeDados.h"
#include "store/ChaveDeOrdem.h"
#include "store/Snapshot.h"
#include "store/Transacao.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <optional>

namespace {

const QString SeparadorDeGrupos = QStringLiteral(" | ");
const QString DescricaoPadraoDoGrupo = QStringLiteral("Não há descrição para este grupo.");

QList<QStringList> Le(const QString& sql, const QVariantList& valores, int colunas, QString* erro) {
    QList<QStringList> linhas;
    Snapshot s(sql, valores);
    if (!s.Valido() && erro)
        *erro = s.Erro();
    for (; s.Valido() && !s.Eof(); s.MoveNext()) {
        QStringList linha;
        for (int i = 0; i < colunas; ++i)
            linha << s.Campo(QStringLiteral("C%1").arg(i)).toString();
        linhas << linha;
    }
    return linhas;
}

QString ParaDataBrasileira(const QString& aaaammdd) {
    return aaaammdd.mid(6, 2) + QLatin1Char('/') + aaaammdd.mid(4, 2) + QLatin1Char('/') + aaaammdd.left(4);
}

// dd/mm/aaaa, aaaammdd, or mdb-export's MM/DD/YY HH:MM:SS; invalid otherwise.
QDate LeData(const QString& texto) {
    static const QRegularExpression mdb(QStringLiteral("^(\\d\\d)/(\\d\\d)/(\\d\\d) \\d\\d:\\d\\d:\\d\\d$"));
    const QString t = texto.trimmed();
    if (const auto m = mdb.match(t); m.hasMatch()) {
        const int ano = m.captured(3).toInt();
        return QDate(ano < 50 ? 2000 + ano : 1900 + ano, m.captured(1).toInt(), m.captured(2).toInt());
    }
    if (t.size() == 8)
        return QDate::fromString(t, QStringLiteral("yyyyMMdd"));
    return QDate::fromString(t, QStringLiteral("dd/MM/yyyy"));
}

// hh:mm, or the time of mdb-export's MM/DD/YY HH:MM:SS.
QString LeHora(const QString& texto) {
    static const QRegularExpression hora(
        QStringLiteral("^(?:\\d\\d/\\d\\d/\\d\\d )?(\\d\\d:\\d\\d)(?::\\d\\d)?$"));
    const auto m = hora.match(texto.trimmed());
    return m.hasMatch() && QTime::fromString(m.captured(1), QStringLiteral("HH:mm")).isValid() ? m.captured(1)
                                                                                               : QString();
}

QString Pager(const QString& codigo) {
    return codigo.trimmed().toUpper();
}

// One file being read: its columns by name, its preview lines.
struct Leitor {
    QString arquivo;
    QHash<QString, int> colunas; // lower-case name -> index
    QList<LinhaDaPrevia>* previa;

    bool Tem(const char* nome) const { return colunas.contains(QString::fromLatin1(nome).toLower()); }
    QString Valor(const LinhaCsv& linha, const char* nome) const {
        const int i = colunas.value(QString::fromLatin1(nome).toLower(), -1);
        return i >= 0 && i < linha.campos.size() ? linha.campos[i] : QString();
    }
    void Anota(const LinhaCsv& linha, Acao acao, const QString& texto) const {
        previa->append({arquivo, linha.numero, acao, texto});
    }
};

// Refusal reason for a field over its limit, or empty.
QString Longo(const QString& valor, int limite, const char* campo) {
    return valor.size() > limite ? QStringLiteral("%1 com %2 caracteres (o limite é %3)")
                                       .arg(QLatin1String(campo))
                                       .arg(valor.size())
                                       .arg(limite)
                                 : QString();
}

class Importador {
public:
    Importador(bool aplicar, Importacao& resultado) : m_aplicar(aplicar), m_resultado(resultado) {}

    void Grupos(const Leitor& l, const QList<LinhaCsv>& linhas);
    void Usuarios(const Leitor& l, const QList<LinhaCsv>& linhas);
    void Participacoes(const Leitor& l, const QList<LinhaCsv>& linhas);
    void Historico(const Leitor& l, const QList<LinhaCsv>& linhas);

private:
    // Runs a statement when applying; the new row's identifier (or -1 in a preview): the one given
    // (a server's counter knows nothing of it), else the one the store gave an INSERT.
    qint64 Grava(const QString& sql, const QVariantList& valores, qint64 dado = 0) {
        if (!m_aplicar || !m_resultado.erro.isEmpty())
            return --m_provisorio;
        QString erro;
        if (!Executa(sql, valores, &erro)) {
            m_resultado.erro = erro;
            return 0;
        }
        if (dado > 0 || !sql.startsWith(QLatin1String("Insert")))
            return dado;
        Snapshot id(QStringLiteral("Select %1 As C0").arg(UltimoContadorSQL()));
        return id.Campo(QStringLiteral("C0")).toLongLong();
    }
    QString Primeiro(const QString& sql, const QVariantList& valores) {
        Snapshot s(sql, valores);
        if (!s.Valido())
            m_resultado.erro = s.Erro();
        return s.Eof() ? QString() : s.Campo(QStringLiteral("C0")).toString();
    }
    qint32 IdDoGrupo(const QString& nome) {
        const QString chave = ChaveDeOrdem(nome);
        if (m_gruposNovos.contains(chave))
            return m_gruposNovos.value(chave);
        return Primeiro(QStringLiteral("Select ID_Grupo As C0 From Grupos_Chave Where Chave = ?"), {chave})
            .toInt();
    }
    qint32 IdPeloPager(const QString& pager) {
        if (m_pagersNovos.contains(Pager(pager)))
            return m_pagersNovos.value(Pager(pager));
        return Primeiro(QStringLiteral(
                            "Select ID_Usuario As C0 From Usuarios Where Upper(Trim(ID_Pager, ' ')) = ?"),
                        {Pager(pager)})
            .toInt();
    }
    bool Livre(const char* tabela, const char* coluna, qint32 id) {
        return id > 0 && Primeiro(QStringLiteral("Select 1 As C0 From %1 Where %2 = ?")
                                      .arg(QLatin1String(tabela), QLatin1String(coluna)),
                                  {id})
                             .isEmpty();
    }
    void GravaGruposDoUsuario(qint32 id, const QList<qint32>& grupos) {
        Grava(QStringLiteral("Delete From Usuario_Grupo Where ID_Usuario = ?"), {id});
        for (const qint32 g : grupos) {
            Grava(QStringLiteral("Insert Into Usuario_Grupo (ID_Usuario, ID_Grupo) Values (?, ?)"), {id, g});
            m_pares.insert({id, g});
        }
    }

    bool m_aplicar;
    Importacao& m_resultado;
    qint64 m_provisorio = 0;
    QHash<QString, qint32> m_gruposNovos;  // name key -> id, groups of this import
    QHash<QString, qint32> m_pagersNovos;  // pager -> id, users of this import
    QHash<qint32, qint32> m_idsDeGrupos;   // ID_Grupo of the file -> of the database
    QHash<qint32, qint32> m_idsDeUsuarios; // ID_Usuario of the file -> of the database
    QSet<QPair<qint32, qint32>> m_pares;   // memberships written by this import
};

void Importador::Grupos(const Leitor& l, const QList<LinhaCsv>& linhas) {
    QHash<QString, int> vistos;
    for (const LinhaCsv& linha : linhas) {
        const QString nome = l.Valor(linha, "Nome_Grupo");
        QString descricao = l.Valor(linha, "Descricao_Grupo");
        if (descricao.isEmpty())
            descricao = DescricaoPadraoDoGrupo;
        const QString chave = ChaveDeOrdem(nome);
        QString recusa = nome.isEmpty()
                             ? QStringLiteral("nome do grupo vazio")
                             : Longo(nome, 15, "nome do grupo") + Longo(descricao, 50, "descrição");
        if (recusa.isEmpty() && vistos.contains(chave))
            recusa = QStringLiteral("o grupo \"%1\" já está na linha %2").arg(nome).arg(vistos.value(chave));
        if (!recusa.isEmpty()) {
            l.Anota(linha, Acao::Recusada, recusa);
            continue;
        }
        vistos.insert(chave, linha.numero);
        Snapshot atual(
            QStringLiteral("Select g.ID_Grupo, g.Nome_Grupo, g.Descricao_Grupo From Grupos_Chave k "
                           "Join Grupos g On g.ID_Grupo = k.ID_Grupo Where k.Chave = ?"),
            {chave});
        qint32 id = atual.Campo(QStringLiteral("ID_Grupo")).toInt();
        if (id == 0) {
            const qint32 doArquivo = l.Valor(linha, "ID_Grupo").toInt();
            id = Livre("Grupos", "ID_Grupo", doArquivo)
                     ? qint32(
                           Grava(QStringLiteral("Insert Into Grupos (ID_Grupo, Nome_Grupo, Descricao_Grupo) "
                                                "Values (?, ?, ?)"),
                                 {doArquivo, nome, descricao}, doArquivo))
                     : qint32(Grava(
                           QStringLiteral("Insert Into Grupos (Nome_Grupo, Descricao_Grupo) Values (?, ?)"),
                           {nome, descricao}));
            l.Anota(linha, Acao::Nova, QStringLiteral("grupo \"%1\"").arg(nome));
            m_gruposNovos.insert(chave, id);
        } else if (atual.Campo(QStringLiteral("Nome_Grupo")).toString() != nome ||
                   atual.Campo(QStringLiteral("Descricao_Grupo")).toString() != descricao) {
            Grava(QStringLiteral("Update Grupos Set Nome_Grupo = ?, Descricao_Grupo = ? Where ID_Grupo = ?"),
                  {nome, descricao, id});
            l.Anota(linha, Acao::Alterada, QStringLiteral("grupo \"%1\"").arg(nome));
        } else {
            l.Anota(linha, Acao::Igual, QString());
        }
        if (l.Tem("ID_Grupo"))
            m_idsDeGrupos.insert(l.Valor(linha, "ID_Grupo").toInt(), id);
    }
}

void Importador::Usuarios(const Leitor& l, const QList<LinhaCsv>& linhas) {
    QHash<QString, int> vistos;
    for (const LinhaCsv& linha : linhas) {
        const QString pager = l.Valor(linha, "ID_Pager");
        const QString nome = l.Valor(linha, "Nome_Usuario");
        QString descricao = l.Valor(linha, "Descricao");
        if (descricao.isEmpty())
            descricao = DescricaoPadraoDoUsuario;
        const QString dataDoArquivo = l.Valor(linha, "Data_Cadastro");
        const QDate data = dataDoArquivo.isEmpty() ? QDate::currentDate() : LeData(dataDoArquivo);
        QString recusa = Pager(pager).isEmpty() ? QStringLiteral("código do pager vazio")
                         : nome.isEmpty()       ? QStringLiteral("nome vazio")
                                          : Longo(pager, 10, "código do pager") + Longo(nome, 50, "nome") +
                                                Longo(descricao, 80, "descrição");
        if (recusa.isEmpty() && !data.isValid())
            recusa = QStringLiteral("data de cadastro \"%1\" inválida").arg(dataDoArquivo);
        if (recusa.isEmpty() && vistos.contains(Pager(pager)))
            recusa = QStringLiteral("o código do pager %1 já é do usuário da linha %2")
                         .arg(pager.trimmed())
                         .arg(vistos.value(Pager(pager)));
        QList<qint32> grupos;
        const QStringList nomesDosGrupos =
            l.Valor(linha, "Grupos").split(QLatin1Char('|'), Qt::SkipEmptyParts);
        for (const QString& g : nomesDosGrupos) {
            const qint32 id = IdDoGrupo(g.trimmed());
            if (id == 0 && recusa.isEmpty())
                recusa = QStringLiteral("o grupo \"%1\" não existe").arg(g.trimmed());
            grupos << id;
        }
        if (!recusa.isEmpty()) {
            l.Anota(linha, Acao::Recusada, recusa);
            continue;
        }
        vistos.insert(Pager(pager), linha.numero);
        const qint32 existente = IdPeloPager(pager);
        qint32 id = existente;
        if (id == 0) {
            const qint32 doArquivo = l.Valor(linha, "ID_Usuario").toInt();
            const QVariantList valores = {nome, pager, descricao,
                                          data.toString(QStringLiteral("dd/MM/yyyy"))};
            id =
                Livre("Usuarios", "ID_Usuario", doArquivo)
                    ? qint32(Grava(QStringLiteral("Insert Into Usuarios (ID_Usuario, Nome_Usuario, ID_Pager, "
                                                  "Descricao, Data_Cadastro) Values (?, ?, ?, ?, ?)"),
                                   QVariantList{doArquivo} + valores, doArquivo))
                    : qint32(Grava(QStringLiteral("Insert Into Usuarios (Nome_Usuario, ID_Pager, Descricao, "
                                                  "Data_Cadastro) Values (?, ?, ?, ?)"),
                                   valores));
            m_pagersNovos.insert(Pager(pager), id);
            if (l.Tem("Grupos"))
                GravaGruposDoUsuario(id, grupos);
            l.Anota(linha, Acao::Nova, QStringLiteral("usuário \"%1\" (pager %2)").arg(nome, pager));
        } else {
            Snapshot atual(
                QStringLiteral(
                    "Select Nome_Usuario, ID_Pager, Descricao, (Select %1 From (Select ID_Grupo "
                    "From Usuario_Grupo Where ID_Usuario = ? Order By ID_Grupo) x) As G From Usuarios "
                    "Where ID_Usuario = ?")
                    .arg(JuntaSQL(QStringLiteral("ID_Grupo"), QStringLiteral("','"))),
                {id, id});
            QList<qint32> ordenados = grupos;
            std::sort(ordenados.begin(), ordenados.end());
            QStringList textos;
            for (const qint32 g : ordenados)
                textos << QString::number(g);
            const bool gruposMudam = l.Tem("Grupos") && atual.Campo(QStringLiteral("G")).toString() !=
                                                            textos.join(QLatin1Char(','));
            if (atual.Campo(QStringLiteral("Nome_Usuario")).toString() != nome ||
                atual.Campo(QStringLiteral("ID_Pager")).toString() != pager ||
                atual.Campo(QStringLiteral("Descricao")).toString() != descricao || gruposMudam) {
                Grava(
                    QStringLiteral("Update Usuarios Set Nome_Usuario = ?, ID_Pager = ?, Descricao = ? Where "
                                   "ID_Usuario = ?"),
                    {nome, pager, descricao, id});
                if (gruposMudam)
                    GravaGruposDoUsuario(id, grupos);
                l.Anota(linha, Acao::Alterada, QStringLiteral("usuário \"%1\" (pager %2)").arg(nome, pager));
            } else {
                l.Anota(linha, Acao::Igual, QString());
            }
        }
        if (l.Tem("ID_Usuario"))
            m_idsDeUsuarios.insert(l.Valor(linha, "ID_Usuario").toInt(), id);
    }
}

void Importador::Participacoes(const Leitor& l, const QList<LinhaCsv>& linhas) {
    for (const LinhaCsv& linha : linhas) {
        const qint32 idNoArquivo = l.Valor(linha, "ID_Usuario").toInt();
        const qint32 grupoNoArquivo = l.Valor(linha, "ID_Grupo").toInt();
        const qint32 usuario = l.Tem("ID_Pager") ? IdPeloPager(l.Valor(linha, "ID_Pager"))
                                                 : m_idsDeUsuarios.value(idNoArquivo, idNoArquivo);
        const qint32 grupo = l.Tem("Nome_Grupo") ? IdDoGrupo(l.Valor(linha, "Nome_Grupo"))
                                                 : m_idsDeGrupos.value(grupoNoArquivo, grupoNoArquivo);
        const bool usuarioExiste =
            usuario < 0 || m_pagersNovos.values().contains(usuario) ||
            !Primeiro(QStringLiteral("Select 1 As C0 From Usuarios Where ID_Usuario = ?"), {usuario})
                 .isEmpty();
        const bool grupoExiste =
            grupo < 0 || m_gruposNovos.values().contains(grupo) ||
            !Primeiro(QStringLiteral("Select 1 As C0 From Grupos Where ID_Grupo = ?"), {grupo}).isEmpty();
        if (!usuarioExiste || usuario == 0) {
            l.Anota(linha, Acao::Recusada, QStringLiteral("o usuário não está no cadastro"));
        } else if (!grupoExiste || grupo == 0) {
            l.Anota(linha, Acao::Recusada, QStringLiteral("o grupo não está no cadastro"));
        } else if (m_pares.contains({usuario, grupo}) ||
                   !Primeiro(QStringLiteral(
                                 "Select 1 As C0 From Usuario_Grupo Where ID_Usuario = ? And ID_Grupo = ?"),
                             {usuario, grupo})
                        .isEmpty()) {
            l.Anota(linha, Acao::Igual, QString());
        } else {
            Grava(QStringLiteral("Insert Into Usuario_Grupo (ID_Usuario, ID_Grupo) Values (?, ?)"),
                  {usuario, grupo});
            m_pares.insert({usuario, grupo});
            l.Anota(linha, Acao::Nova, QStringLiteral("participação"));
        }
    }
}

void Importador::Historico(const Leitor& l, const QList<LinhaCsv>& linhas) {
    for (const LinhaCsv& linha : linhas) {
        const QDate data = LeData(l.Valor(linha, "Data"));
        const QString hora = LeHora(l.Valor(linha, "Hora"));
        const QString usuario = l.Valor(linha, "Usuario");
        const QString pager = l.Valor(linha, "ID_Pager");
        const qint32 idNoArquivo = l.Valor(linha, "ID_Usuario").toInt();
        const qint32 id = m_idsDeUsuarios.value(idNoArquivo, idNoArquivo);
        QString situacao = l.Valor(linha, "Situacao");
        if (situacao.isEmpty())
            situacao = QStringLiteral("entregue");
        QString recusa = !data.isValid() ? QStringLiteral("data \"%1\" inválida").arg(l.Valor(linha, "Data"))
                         : hora.isEmpty() ? QStringLiteral("hora \"%1\" inválida").arg(l.Valor(linha, "Hora"))
                                          : Longo(usuario, 50, "nome") + Longo(pager, 10, "código do pager");
        if (recusa.isEmpty() && situacao != QLatin1String("entregue") &&
            situacao != QLatin1String("recusada"))
            recusa = QStringLiteral("situação \"%1\" desconhecida (entregue ou recusada)").arg(situacao);
        if (!recusa.isEmpty()) {
            l.Anota(linha, Acao::Recusada, recusa);
            continue;
        }
        const QVariantList valores = {
            data.toString(QStringLiteral("yyyyMMdd")), hora, usuario, l.Valor(linha, "Mensagem"), pager, id};
        if (!Primeiro(
                 QStringLiteral("Select 1 As C0 From Log Where Data = ? And Hora = ? And Usuario = ? And "
                                "Mensagem = ? And ID_Pager = ? And ID_Usuario = ?"),
                 valores)
                 .isEmpty()) {
            l.Anota(linha, Acao::Igual, QString());
            continue;
        }
        Grava(
            QStringLiteral("Insert Into Log (Data, Hora, Usuario, Mensagem, ID_Pager, ID_Usuario, Situacao, "
                           "Motivo, Origem) Values (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            valores + QVariantList{situacao, l.Valor(linha, "Motivo"), l.Valor(linha, "Origem")});
        l.Anota(linha, Acao::Nova,
                QStringLiteral("mensagem de %1 %2 para \"%3\"")
                    .arg(data.toString(QStringLiteral("dd/MM/yyyy")), hora, usuario.trimmed()));
    }
}

} // namespace

QList<QStringList> LinhasParaExportar(Planilha planilha, const FiltroDoHistorico& filtro, QString* erro) {
    switch (planilha) {
    case Planilha::Usuarios: {
        QList<QStringList> linhas = Le(
            QStringLiteral(
                "Select u.Nome_Usuario As C0, u.ID_Pager As C1, u.Descricao As C2, u.Data_Cadastro As "
                "C3, (Select %1 From (Select g.Nome_Grupo From Usuario_Grupo p Join Grupos_Chave gk On "
                "gk.ID_Grupo = p.ID_Grupo Join Grupos g On g.ID_Grupo = p.ID_Grupo Where p.ID_Usuario = "
                "u.ID_Usuario Order By gk.Chave, g.ID_Grupo) x) As C4 From Usuarios_Chave k Join Usuarios u "
                "On u.ID_Usuario = k.ID_Usuario Order By k.Chave, k.ID_Usuario")
                .arg(JuntaSQL(QStringLiteral("Nome_Grupo"), QStringLiteral("?"))),
            {SeparadorDeGrupos}, 5, erro);
        linhas.prepend({QStringLiteral("Nome_Usuario"), QStringLiteral("ID_Pager"),
                        QStringLiteral("Descricao"), QStringLiteral("Data_Cadastro"),
                        QStringLiteral("Grupos")});
        return linhas;
    }
    case Planilha::Grupos: {
        QList<QStringList> linhas =
            Le(QStringLiteral(
                   "Select g.Nome_Grupo As C0, g.Descricao_Grupo As C1 From Grupos_Chave k Join Grupos g "
                   "On g.ID_Grupo = k.ID_Grupo Order By k.Chave, k.ID_Grupo"),
               {}, 2, erro);
        linhas.prepend({QStringLiteral("Nome_Grupo"), QStringLiteral("Descricao_Grupo")});
        return linhas;
    }
    case Planilha::Participacoes: {
        QList<QStringList> linhas =
            Le(QStringLiteral(
                   "Select g.Nome_Grupo As C0, u.Nome_Usuario As C1, u.ID_Pager As C2 From Usuario_Grupo p "
                   "Join Grupos g On g.ID_Grupo = p.ID_Grupo Join Grupos_Chave gk On gk.ID_Grupo = "
                   "p.ID_Grupo Join Usuarios u On u.ID_Usuario = p.ID_Usuario Join Usuarios_Chave uk On "
                   "uk.ID_Usuario = p.ID_Usuario Order By gk.Chave, g.ID_Grupo, uk.Chave, u.ID_Usuario"),
               {}, 3, erro);
        linhas.prepend(
            {QStringLiteral("Nome_Grupo"), QStringLiteral("Nome_Usuario"), QStringLiteral("ID_Pager")});
        return linhas;
    }
    case Planilha::Historico:
        break;
    }
    QString condicao = QStringLiteral(" Where Data >= ? And Data <= ?");
    QVariantList valores = {filtro.de.isValid() ? filtro.de.toString(QStringLiteral("yyyyMMdd")) : QString(),
                            filtro.ate.isValid() ? filtro.ate.toString(QStringLiteral("yyyyMMdd"))
                                                 : QStringLiteral("99999999")};
    if (filtro.idUsuario != 0) {
        condicao += QStringLiteral(" And ID_Usuario = ?");
        valores << filtro.idUsuario;
    }
    QList<QStringList> linhas =
        Le(QStringLiteral(
               "Select Data As C0, Hora As C1, Usuario As C2, Mensagem As C3, ID_Pager As C4, ID_Usuario "
               "As C5, Situacao As C6, Motivo As C7, Origem As C8 From Log") +
               condicao + QStringLiteral(" Order By Data, Hora, Chave_Usuario, rowid"),
           valores, 9, erro);
    for (QStringList& linha : linhas)
        linha[0] = ParaDataBrasileira(linha[0]);
    linhas.prepend({QStringLiteral("Data"), QStringLiteral("Hora"), QStringLiteral("Usuario"),
                    QStringLiteral("Mensagem"), QStringLiteral("ID_Pager"), QStringLiteral("ID_Usuario"),
                    QStringLiteral("Situacao"), QStringLiteral("Motivo"), QStringLiteral("Origem")});
    return linhas;
}

int Importacao::Quantas(Acao acao) const {
    return int(std::count_if(linhas.cbegin(), linhas.cend(),
                             [acao](const LinhaDaPrevia& l) { return l.acao == acao; }));
}

QString Importacao::Resumo() const {
    QStringList texto;
    for (const LinhaDaPrevia& l : linhas) {
        if (l.acao == Acao::Igual)
            continue;
        const char* const rotulos[] = {"novo", "alterado", "igual", "RECUSADO"};
        texto << (l.linha == 0 ? QStringLiteral("%1: %2: %3")
                                     .arg(l.arquivo, QLatin1String(rotulos[int(l.acao)]), l.texto)
                               : QStringLiteral("%1, linha %2: %3: %4")
                                     .arg(l.arquivo)
                                     .arg(l.linha)
                                     .arg(QLatin1String(rotulos[int(l.acao)]), l.texto));
    }
    texto << QStringLiteral("%1 novo(s), %2 alterado(s), %3 igual(is), %4 recusado(s).")
                 .arg(Quantas(Acao::Nova))
                 .arg(Quantas(Acao::Alterada))
                 .arg(Quantas(Acao::Igual))
                 .arg(Quantas(Acao::Recusada));
    if (erro == Transacao::Ocupado)
        texto << QStringLiteral("Não foi possível importar agora: ") + erro;
    else if (!erro.isEmpty())
        texto << QStringLiteral("O banco de dados recusou a importação; nada foi gravado. (%1)").arg(erro);
    if (mudouDesdeAPrevia)
        texto << QStringLiteral("O cadastro foi alterado em outra mesa depois da prévia, então nada foi "
                                "gravado e nada se perdeu. Acima está o que a importação faria agora; "
                                "importe de novo se estiver de acordo.");
    return texto.join(QLatin1Char('\n'));
}

Importacao ImportaPlanilhas(const QList<ArquivoCsv>& arquivos, bool aplicar, const Importacao* previa) {
    Importacao resultado;
    std::optional<Transacao> transacao;
    if (aplicar) {
        transacao.emplace();
        if (!transacao->Iniciada()) {
            resultado.erro = transacao->Erro();
            return resultado;
        }
    }
    // Groups before the users that name them, memberships and history after both.
    struct Lido {
        int ordem;
        Leitor leitor;
        LeituraCsv leitura;
    };
    QList<Lido> lidos;
    for (const ArquivoCsv& arquivo : arquivos) {
        Lido lido{-1, {arquivo.nome, {}, &resultado.linhas}, LeCsv(arquivo.bytes)};
        const auto recusa = [&](const QString& texto) {
            resultado.linhas.append({arquivo.nome, 0, Acao::Recusada, texto});
        };
        if (!lido.leitura.erro.isEmpty() || lido.leitura.linhas.isEmpty()) {
            recusa(lido.leitura.erro.isEmpty() ? QStringLiteral("arquivo vazio") : lido.leitura.erro);
            continue;
        }
        const QStringList cabecalho = lido.leitura.linhas.takeFirst().campos;
        for (int i = 0; i < cabecalho.size(); ++i)
            lido.leitor.colunas.insert(cabecalho[i].trimmed().toLower(), i);
        const Leitor& l = lido.leitor;
        lido.ordem =
            l.Tem("Mensagem")                                                                          ? 3
            : l.Tem("Nome_Usuario") && l.Tem("ID_Pager") && !l.Tem("Nome_Grupo")                       ? 1
            : (l.Tem("Nome_Grupo") || l.Tem("ID_Grupo")) && (l.Tem("ID_Pager") || l.Tem("ID_Usuario")) ? 2
            : l.Tem("Nome_Grupo")                                                                      ? 0
                                                                                                       : -1;
        if (lido.ordem < 0)
            recusa(
                QStringLiteral("o cabeçalho (%1) não nomeia as colunas de usuários (Nome_Usuario, ID_Pager), "
                               "grupos (Nome_Grupo), participações ou histórico")
                    .arg(cabecalho.join(QStringLiteral(", "))));
        else
            lidos << lido;
    }
    std::stable_sort(lidos.begin(), lidos.end(),
                     [](const Lido& a, const Lido& b) { return a.ordem < b.ordem; });
    Importador importador(aplicar, resultado);
    for (const Lido& lido : lidos) {
        switch (lido.ordem) {
        case 0:
            importador.Grupos(lido.leitor, lido.leitura.linhas);
            break;
        case 1:
            importador.Usuarios(lido.leitor, lido.leitura.linhas);
            break;
        case 2:
            importador.Participacoes(lido.leitor, lido.leitura.linhas);
            break;
        default:
            importador.Historico(lido.leitor, lido.leitura.linhas);
        }
    }
    resultado.mudouDesdeAPrevia =
        aplicar && previa && resultado.Aplicavel() && resultado.Resumo() != previa->Resumo();
    if (aplicar && resultado.Aplicavel() && !transacao->Confirma())
        resultado.erro = transacao->Erro();
    return resultado;
}
