#!/usr/bin/env python3
"""Reads, over the AT-SPI accessibility bus, what a screen reader gets from Bipvox's panels that
show data, driving the running program only through the bus (scripts/acessibilidade.sh starts it).
Each check prints OK or FALHOU; the exit status is the number of failures. With a folder argument,
screenshots of the history opened from the user browser are left there."""
import os
import subprocess
import sys
import time

import pyatspi

falhas = 0


def confere(oque, obtido, esperado):
    global falhas
    certo = esperado(obtido) if callable(esperado) else obtido == esperado
    print(f"{'OK' if certo else 'FALHOU'}: {oque}: {obtido!r}")
    falhas += 0 if certo else 1


def espera(achar, prazo=20.0):
    fim = time.time() + prazo
    while time.time() < fim:
        achado = achar()
        if achado is not None:
            return achado
        time.sleep(0.3)
    return None


def programa():
    return next((a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == "bipvox"), None)


def objeto(condicao):
    app = programa()
    return app and pyatspi.findDescendant(app, condicao, breadth_first=True)


def por_nome(nome, papel=None, prazo=20.0):
    return espera(lambda: objeto(lambda o: o.name == nome and (papel is None or o.getRoleName() == papel)), prazo)


def por_descricao(descricao):
    return espera(lambda: objeto(lambda o: o.description == descricao))


def clica(objeto, evento=pyatspi.MOUSE_B1C):
    # A real click through the X server: an action over the bus would wait for the modal window
    # the button opens to close before it answers.
    x, y, largura, altura = objeto.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    pyatspi.Registry.generateMouseEvent(x + largura // 2, y + altura // 2, evento)


def aciona(nome):
    botao = por_nome(nome, "push button")
    if botao is None:
        raise SystemExit(f"FALHOU: sem o botão {nome!r}")
    clica(botao)


def rotulos(painel):
    return [r.getTarget(i).name for r in painel.getRelationSet()
            if r.getRelationType() == pyatspi.RELATION_LABELLED_BY for i in range(r.getNTargets())]


def foto(pasta, nome):
    if pasta:
        subprocess.run(["import", "-window", "root", os.path.join(pasta, nome)], check=False)


def main():
    pasta = sys.argv[1] if len(sys.argv) > 1 else ""
    if espera(programa, 40) is None:
        raise SystemExit("FALHOU: o Bipvox não apareceu no barramento de acessibilidade")
    status = por_descricao("Linha de status")
    confere("linha de status da janela principal", status and status.name, lambda n: n and n.strip())
    # The demo opens the composition window at start.
    if por_nome("Envio de Mensagens", "dialog"):
        aciona("Retornar")

    aciona("Exibir o Cadastro de Usuários")
    detalhes = por_descricao("Descrição do Usuário")
    confere("detalhes do usuário", detalhes and detalhes.name, lambda n: n and n.startswith("Código do Pager: "))
    confere("rótulo dos detalhes", detalhes and rotulos(detalhes), ["Descrição do Usuário:"])

    aciona("Exibir Histórico")
    grade = por_nome("Mensagens enviadas")
    confere("histórico aberto sobre o visualizador", grade is not None, True)
    time.sleep(1)
    foto(pasta, "historico.png")
    if grade is not None:
        clica(grade.queryTable().getAccessibleAt(0, 3), pyatspi.MOUSE_B1D)
        caixa = por_nome("Conteúdo da Célula Selecionada")
        confere("caixa da célula lida pelo texto", caixa and caixa.description, lambda d: bool(d))
        time.sleep(1)
        foto(pasta, "celula.png")
        if caixa is not None:
            aciona("OK")
        time.sleep(0.5)
        # Escape closes the history (no window manager here to close it), uncovering the browser.
        pyatspi.Registry.generateKeyboardEvent(0xFF1B, None, pyatspi.KEY_SYM)
        confere("histórico fechado com Esc", espera(lambda: None if por_nome("Mensagens enviadas", prazo=1) else True, 5), True)
    aciona("Clique aqui para retornar ...")

    aciona("Visualisar Cadastro de Grupos")
    grupo = por_descricao("Descrição do Grupo")
    confere("descrição do grupo", grupo and grupo.name, lambda n: bool(n))
    confere("rótulo da descrição do grupo", grupo and rotulos(grupo), ["Descrição do Grupo:"])
    aciona("Clique aqui para retornar ...")
    return falhas


if __name__ == "__main__":
    sys.exit(main())
