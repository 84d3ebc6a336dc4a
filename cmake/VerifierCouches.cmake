# Run as a script (cmake -P): fails when a source includes a header of a
# higher layer, or a libav/libsw header outside src/pipelines.
#   RACINE  the source tree   COUCHES  the layers, lowest first   SORTIE  stamp file
cmake_minimum_required(VERSION 3.22)
file(GLOB_RECURSE fichiers
  "${RACINE}/src/*.cpp" "${RACINE}/src/*.h" "${RACINE}/app/*.cpp" "${RACINE}/tools/*.cpp" "${RACINE}/tools/*.h"
  "${RACINE}/tests/*.cpp" "${RACINE}/tests/*.h" "${RACINE}/bench/*.cpp" "${RACINE}/fuzz/*.cpp"
  "${RACINE}/plugins/*.cpp" "${RACINE}/plugins/*.c")
set(fautes "")
foreach(fichier IN LISTS fichiers)
  file(RELATIVE_PATH relatif "${RACINE}" "${fichier}")
  set(rang 999) # outside src/: every layer is below
  set(couche "")
  if(relatif MATCHES "^src/([^/]+)/")
    set(couche "${CMAKE_MATCH_1}")
    list(FIND COUCHES "${couche}" rang)
  endif()
  file(STRINGS "${fichier}" lignes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(ligne IN LISTS lignes)
    if(ligne MATCHES "include[ \t]*[<\"](libav[a-z]*|libsw[a-z]*|libpostproc)/")
      if(NOT couche STREQUAL "pipelines")
        string(APPEND fautes "  ${relatif}: ${CMAKE_MATCH_1} headers belong to src/pipelines only\n")
      endif()
    elseif(ligne MATCHES "include[ \t]*\"([a-z]+)/")
      list(FIND COUCHES "${CMAKE_MATCH_1}" cible)
      if(cible GREATER rang)
        string(APPEND fautes "  ${relatif}: src/${couche} may not include ${CMAKE_MATCH_1}/ (a higher layer)\n")
      endif()
    endif()
  endforeach()
endforeach()
if(fautes)
  message(FATAL_ERROR "Includes against the layers (lowest first: ${COUCHES}):\n${fautes}")
endif()
file(WRITE "${SORTIE}" "ok\n")
