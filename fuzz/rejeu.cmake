# The fuzz targets' entry points linked into replay drivers built with the
# ordinary compiler: ctest replays the inputs kept in fuzz/regressions/<target>/
# (crashes fuzzing found, and inputs of the corpus that reach deep paths).
set(KORVAN_FUZZ_DIR "${PROJECT_SOURCE_DIR}/fuzz")

function(korvan_rejeu_fuzz cible corps)
  set(exe rejouer_${cible})
  add_executable(${exe} "${KORVAN_FUZZ_DIR}/rejouer.cpp" "${KORVAN_FUZZ_DIR}/fuzz_${cible}.cpp" "${KORVAN_FUZZ_DIR}/${corps}")
  target_include_directories(${exe} PRIVATE "${KORVAN_FUZZ_DIR}")
  target_link_libraries(${exe} PRIVATE ${ARGN})
  add_test(NAME fuzz.rejeu.${cible} COMMAND ${exe} "${KORVAN_FUZZ_DIR}/regressions/${cible}")
  set_tests_properties(fuzz.rejeu.${cible} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
endfunction()

foreach(cible riff entetes demuxer rapport)
  korvan_rejeu_fuzz(${cible} fuzz_entries.cpp korvan_analysis)
endforeach()
foreach(cible dvcodes son_dv ecrivain_avi)
  korvan_rejeu_fuzz(${cible} fuzz_dv.cpp korvan_analysis)
endforeach()
korvan_rejeu_fuzz(scn fuzz_scenes.cpp korvan_scenes)
korvan_rejeu_fuzz(switches fuzz_arguments.cpp korvan_integration)
korvan_rejeu_fuzz(playlist fuzz_lecture_playlist.cpp korvan_commands)
