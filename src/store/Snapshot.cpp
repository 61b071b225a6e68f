#include "store/Snapshot.h"

#include "store/BancoDeDados.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>

namespace {
// Qt binds a null QString (the text of an untouched text box) as SQL NULL, which every text
// column refuses; the program means an empty text.
QVariant TextoNuncaNulo(const QVariant& valor) {
    if (valor.typeId() == QMetaType::QString && valor.toString().isNull())
        return QString(QLatin1String(""));
    return valor;
}

bool Prepara(QSqlQuery& consulta, const QString& sql, const QVariantList& parametros, QString& erro) {
    if (!BancoDeDadosAberto()) {
        erro = MotivoSemBanco();
        return false;
    }
    // Without values nothing is prepared: a server prepares no CREATE or ALTER.
    if (parametros.isEmpty()) {
        if (consulta.exec(sql))
            return true;
        erro = TextoDoErro(consulta.lastError());
        return false;
    }
    if (!consulta.prepare(sql)) {
        erro = TextoDoErro(consulta.lastError());
        return false;
    }
    for (const QVariant& valor : parametros)
        consulta.addBindValue(TextoNuncaNulo(valor));
    if (!consulta.exec()) {
        erro = TextoDoErro(consulta.lastError());
        return false;
    }
    return true;
}
} // namespace

Snapshot::Snapshot(const QString& sql, const QVariantList& parametros) {
    QSqlQuery consulta(BancoDeDados());
    consulta.setForwardOnly(true);
    if (!Prepara(consulta, sql, parametros, m_erro))
        return;
    const QSqlRecord registro = consulta.record();
    for (int i = 0; i < registro.count(); ++i)
        m_colunas.append(registro.fieldName(i));
    while (consulta.next()) {
        QVariantList linha;
        linha.reserve(m_colunas.size());
        for (int i = 0; i < m_colunas.size(); ++i)
            linha.append(consulta.value(i));
        m_linhas.append(std::move(linha));
    }
}

void Snapshot::MoveNext() {
    if (m_atual < m_linhas.size())
        ++m_atual;
}

void Snapshot::MoveFirst() {
    m_atual = 0;
}

void Snapshot::MoveLast() {
    m_atual = m_linhas.isEmpty() ? 0 : m_linhas.size() - 1;
}

QVariant Snapshot::Campo(const QString& nome) const {
    if (Eof())
        return {};
    const int coluna = m_colunas.indexOf(nome, 0); // names as written in the tables
    if (coluna < 0) {
        for (int i = 0; i < m_colunas.size(); ++i)
            if (m_colunas[i].compare(nome, Qt::CaseInsensitive) == 0)
                return m_linhas[m_atual][i];
        return {};
    }
    return m_linhas[m_atual][coluna];
}

void Snapshot::Close() {
    m_linhas.clear();
    m_atual = 0;
}

bool Executa(const QString& sql, const QVariantList& parametros, QString* erro) {
    return ExecutaContando(sql, parametros, erro) >= 0;
}

int ExecutaContando(const QString& sql, const QVariantList& parametros, QString* erro) {
    QSqlQuery comando(BancoDeDados());
    QString motivo;
    const bool ok = Prepara(comando, sql, parametros, motivo);
    if (erro)
        *erro = motivo;
    return ok ? std::max(comando.numRowsAffected(), 0) : -1;
}
