# Writes a manual page (section 1) from a program's --help text, so the two never disagree.
#   cmake -DPROGRAMA=... -DNOME=... -DRESUMO=... -DVERSAO=... -DSAIDA=... -P Manual.cmake
execute_process(COMMAND ${PROGRAMA} --help OUTPUT_VARIABLE ajuda RESULT_VARIABLE codigo
                ENCODING UTF-8)
if(NOT codigo EQUAL 0 OR ajuda STREQUAL "")
    message(FATAL_ERROR "${PROGRAMA} --help falhou (${codigo})")
endif()
# roff: backslashes first, then minus signs, then lines that would read as requests.
string(REPLACE "\\" "\\e" ajuda "${ajuda}")
string(REPLACE "-" "\\-" ajuda "${ajuda}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" ajuda "${ajuda}")
string(TOUPPER "${NOME}" titulo)
string(REPLACE "-" "\\-" nome_roff "${NOME}")
file(WRITE ${SAIDA}
".TH ${titulo} 1 \"\" \"Bipvox ${VERSAO}\" \"Comandos do usuário\"
.SH NOME
${nome_roff} \\- ${RESUMO}
.SH DESCRIÇÃO
Texto de \\fB${nome_roff} \\-\\-help\\fR:
.PP
.nf
${ajuda}.fi
.SH VEJA TAMBÉM
.BR bipvox (1),
.BR bipvox\\-enviar (1),
.BR bipvox\\-servidor (1);
a configuração em
.IR /usr/share/doc/bipvox/docs/ .
")
