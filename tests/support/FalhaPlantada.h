#pragma once
// A store that refuses one kind of write (a full disk, a locked table), for as long as the object
// lives: a trigger that aborts the statement with the message given, in either engine's dialect.
#include <QString>

// Whether the program's connection is inside a transaction now (a write not yet committed).
bool TransacaoAberta();

class FalhaPlantada {
public:
    // momento: "Before Insert On Log", "After Update On Grupos"...; condicao: on NEW or OLD
    // ("New.ID_Grupo = 3"), empty for every row.
    FalhaPlantada(const QString& momento, const QString& mensagem, const QString& condicao = QString());
    ~FalhaPlantada();
    FalhaPlantada(const FalhaPlantada&) = delete;
    FalhaPlantada& operator=(const FalhaPlantada&) = delete;
    bool Plantada() const { return m_plantada; }

private:
    bool m_plantada = false;
};
