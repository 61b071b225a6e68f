#include "directory/frmListaDeGrupos.h"
#include "directory/CadastroDeGrupos.h"
#include "directory/FalhaNoBanco.h"
#include "ui/frmListaDeNomes.h"

#include <QComboBox>
#include <QSignalBlocker>

bool PreencheGrupos(Operador& operador, QComboBox* lista, ListaDeNomes& grupos) {
    {
        const AmpulhetaLigada ampulheta(operador);
        grupos = LeGrupos();
    }
    if (!grupos.erro.isEmpty())
        InformaFalhaNoBanco(operador, QStringLiteral("ler o cadastro de grupos"), grupos.erro);
    const QSignalBlocker bloqueio(lista);
    PreencheNomes(lista, grupos.nomes);
    return !grupos.Vazia();
}
