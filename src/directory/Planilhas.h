#pragma once
// The directory and the history in and out as CSV (common/Csv.h): what the window's Arquivo menu
// and bipvox-csv do. Columns are named as the tables name them, so the files mdb-export writes
// from an old Pager.Mdb import as they are.
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

enum class Planilha { Usuarios, Grupos, Participacoes, Historico };

struct FiltroDoHistorico {
    QDate de, ate;        // invalid: no limit
    qint32 idUsuario = 0; // 0: every user
};

// The rows, header first, in name order (history in date, time and name order); dates as
// dd/mm/aaaa. Users carry their groups' names in one column, separated by " | ".
QList<QStringList> LinhasParaExportar(Planilha planilha, const FiltroDoHistorico& filtro = {},
                                      QString* erro = nullptr);

struct ArquivoCsv {
    QString nome; // as shown in the preview
    QByteArray bytes;
};

enum class Acao { Nova, Alterada, Igual, Recusada };

struct LinhaDaPrevia {
    QString arquivo;
    int linha = 0; // 0: the file as a whole
    Acao acao = Acao::Recusada;
    QString texto;
};

struct Importacao {
    QList<LinhaDaPrevia> linhas;
    QString erro; // the store failed: nothing was written
    // Applying would not do what the preview showed (another desk changed the directory since):
    // nothing was written, and the lines say what it would do now.
    bool mudouDesdeAPrevia = false;

    int Quantas(Acao acao) const;
    bool Aplicavel() const { return erro.isEmpty() && !mudouDesdeAPrevia && Quantas(Acao::Recusada) == 0; }
    // One line per row that is new, changed or refused, and a count of each kind.
    QString Resumo() const;
};

// What importing the files would do (groups, then users, memberships and history, whatever their
// order): users are matched by pager code, groups by name. With aplicar, it is done in one
// transaction, and only when no line is refused and, given the preview the operator approved,
// only when it does just what that preview said; otherwise nothing changes.
Importacao ImportaPlanilhas(const QList<ArquivoCsv>& arquivos, bool aplicar,
                            const Importacao* previa = nullptr);
