# Builds SENDARO.chm: stages the pages, writes the .hhp project (with [ALIAS]/[MAP] made
# from contexts.txt), runs chmcmd and copies the result and the context table out.
# Inputs: SOURCE_DIR, STAGE_DIR, CHMCMD, OUTPUT_CHM, OUTPUT_CTX.
file(REMOVE_RECURSE ${STAGE_DIR})
file(MAKE_DIRECTORY ${STAGE_DIR})

file(GLOB pages RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.htm)
list(SORT pages)
foreach(f ${pages} estilo.css SENDARO.hhc SENDARO.hhk)
  file(COPY ${SOURCE_DIR}/${f} DESTINATION ${STAGE_DIR})
endforeach()

set(alias_lines "")
set(map_lines "")
file(STRINGS ${SOURCE_DIR}/contexts.txt context_lines)
foreach(line ${context_lines})
  if(line MATCHES "^[ \t]*(#|$)")
    continue()
  endif()
  if(NOT line MATCHES "^[ \t]*([0-9]+)[ \t]+([^ \t]+)[ \t]*$")
    message(FATAL_ERROR "contexts.txt: línea no válida: ${line}")
  endif()
  set(number ${CMAKE_MATCH_1})
  set(page ${CMAKE_MATCH_2})
  if(NOT EXISTS ${SOURCE_DIR}/${page})
    message(FATAL_ERROR "contexts.txt: la página ${page} del contexto ${number} no existe")
  endif()
  string(APPEND alias_lines "IDH_${number}=${page}\n")
  string(APPEND map_lines "#define IDH_${number} ${number}\n")
endforeach()

string(REPLACE ";" "\n" file_lines "${pages};estilo.css")
file(WRITE ${STAGE_DIR}/SENDARO.hhp
"[OPTIONS]
Compatibility=1.1 or later
Compiled file=SENDARO.chm
Contents file=SENDARO.hhc
Index file=SENDARO.hhk
Default topic=principal.htm
Display compile progress=No
Full-text search=Yes
Language=0xc0a Spanish (Spain, International Sort)
Title=Ayuda de Mudalinx

[FILES]
${file_lines}

[ALIAS]
${alias_lines}
[MAP]
${map_lines}
")

execute_process(
  COMMAND ${CHMCMD} --no-html-scan SENDARO.hhp
  WORKING_DIRECTORY ${STAGE_DIR}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT EXISTS ${STAGE_DIR}/SENDARO.chm)
  message(FATAL_ERROR "chmcmd no ha podido compilar la ayuda:\n${output}")
endif()
file(COPY_FILE ${STAGE_DIR}/SENDARO.chm ${OUTPUT_CHM})
file(COPY_FILE ${SOURCE_DIR}/contexts.txt ${OUTPUT_CTX})
