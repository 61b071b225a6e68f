#pragma once
// A read-only, static copy of the rows a query selects, positioned on the first row.
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVector>

class Snapshot {
public:
    // Every value is bound as a parameter (positional "?" placeholders).
    explicit Snapshot(const QString& sql, const QVariantList& parametros = {});

    bool Valido() const { return m_erro.isEmpty(); }
    QString Erro() const { return m_erro; }

    bool Eof() const { return m_atual < 0 || m_atual >= m_linhas.size(); }
    void MoveNext();
    void MoveFirst();
    void MoveLast();
    int RecordCount() const { return m_linhas.size(); }
    // Value of a field of the current row, by name as in the tables; invalid past the end.
    QVariant Campo(const QString& nome) const;
    void Close();

private:
    QStringList m_colunas;
    QVector<QVariantList> m_linhas;
    int m_atual = 0;
    QString m_erro;
};

// Runs an INSERT, UPDATE or DELETE with bound values. False (and the reason in erro) when the
// store refused it.
bool Executa(const QString& sql, const QVariantList& parametros = {}, QString* erro = nullptr);
// The same, giving how many rows the statement matched (a guarded UPDATE that finds the row
// changed matches none), or -1 when the store refused it.
int ExecutaContando(const QString& sql, const QVariantList& parametros, QString* erro = nullptr);
