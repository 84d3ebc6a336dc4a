# The program's layers, lowest first. A layer may include its own headers and
# those of the layers before it, never those after it; the check below fails
# the build on an include that points up (or on a libav header outside the
# pipelines). Each layer is one static library made of every source below its
# folder, subfolders included, so a new file or folder is never left out.
set(KORVAN_COUCHES analysis platform pipelines scenes commands integration ui)

function(korvan_library name folder)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
    "${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp"
    "${PROJECT_SOURCE_DIR}/src/${folder}/*.h")
  if(NOT sources)
    # A folder with nothing yet still yields a linkable target.
    set(stub "${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp")
    file(WRITE "${stub}" "")
    list(APPEND sources "${stub}")
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
  target_link_libraries(${name} ${ARGN})
  add_dependencies(${name} korvan_verifier_couches)
  set_property(GLOBAL APPEND PROPERTY KORVAN_DOSSIERS_COUVERTS "${folder}")
endfunction()

# Every folder under src/ must belong to a layer.
function(korvan_verifier_dossiers)
  get_property(couverts GLOBAL PROPERTY KORVAN_DOSSIERS_COUVERTS)
  file(GLOB entrees LIST_DIRECTORIES true "${PROJECT_SOURCE_DIR}/src/*")
  foreach(entree IN LISTS entrees)
    get_filename_component(nom "${entree}" NAME)
    if(IS_DIRECTORY "${entree}" AND NOT nom IN_LIST couverts)
      message(FATAL_ERROR "src/${nom} belongs to no library: add it to a layer in CMakeLists.txt")
    endif()
    if(NOT IS_DIRECTORY "${entree}")
      message(FATAL_ERROR "src/${nom} lies outside every layer: move it into a layer's folder")
    endif()
  endforeach()
endfunction()

# The include check runs before any library compiles, and again whenever a
# source changes.
file(GLOB_RECURSE KORVAN_SOURCES_VERIFIEES CONFIGURE_DEPENDS
  "${PROJECT_SOURCE_DIR}/src/*.cpp" "${PROJECT_SOURCE_DIR}/src/*.h"
  "${PROJECT_SOURCE_DIR}/app/*.cpp" "${PROJECT_SOURCE_DIR}/tools/*.cpp" "${PROJECT_SOURCE_DIR}/tools/*.h"
  "${PROJECT_SOURCE_DIR}/tests/*.cpp" "${PROJECT_SOURCE_DIR}/tests/*.h"
  "${PROJECT_SOURCE_DIR}/bench/*.cpp" "${PROJECT_SOURCE_DIR}/fuzz/*.cpp"
  "${PROJECT_SOURCE_DIR}/plugins/*.cpp" "${PROJECT_SOURCE_DIR}/plugins/*.c")
add_custom_command(
  OUTPUT "${PROJECT_BINARY_DIR}/couches.ok"
  COMMAND "${CMAKE_COMMAND}" "-DRACINE=${PROJECT_SOURCE_DIR}" "-DCOUCHES=${KORVAN_COUCHES}"
          "-DSORTIE=${PROJECT_BINARY_DIR}/couches.ok" -P "${PROJECT_SOURCE_DIR}/cmake/VerifierCouches.cmake"
  DEPENDS ${KORVAN_SOURCES_VERIFIEES} "${PROJECT_SOURCE_DIR}/cmake/VerifierCouches.cmake"
  COMMENT "Checking that includes follow the layers"
  VERBATIM)
add_custom_target(korvan_verifier_couches DEPENDS "${PROJECT_BINARY_DIR}/couches.ok")

# One test executable per subsystem folder under tests/.
function(korvan_test_suite folder)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp")
  if(NOT sources)
    return()
  endif()
  set(target test_${folder})
  add_executable(${target} ${sources} ${KORVAN_TEST_SUPPORT})
  target_include_directories(${target} PRIVATE "${CMAKE_CURRENT_SOURCE_DIR}")
  target_link_libraries(${target} PRIVATE ${ARGN} Qt6::Test GTest::gtest GTest::gmock)
  target_compile_definitions(${target} PRIVATE
    KORVAN_FIXTURES_DIR="${KORVAN_FIXTURES_DIR}"
    KORVAN_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    KORVAN_BINARY_DIR="${PROJECT_BINARY_DIR}")
  # Which Qt application object the test main creates: 0 core, 1 gui, 2 widgets.
  if(folder STREQUAL "ui")
    target_compile_definitions(${target} PRIVATE KORVAN_TEST_APP=2)
  elseif(folder STREQUAL "pipelines" OR folder STREQUAL "platform")
    target_compile_definitions(${target} PRIVATE KORVAN_TEST_APP=1)
  else()
    target_compile_definitions(${target} PRIVATE KORVAN_TEST_APP=0)
  endif()
  gtest_discover_tests(${target}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;TZ=Europe/Paris"
    TEST_PREFIX "${folder}.")
endfunction()
