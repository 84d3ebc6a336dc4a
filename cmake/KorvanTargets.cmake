# Each subsystem folder becomes part of a static library; new files are
# picked up without editing the build (CONFIGURE_DEPENDS).
function(korvan_library name folders)
  set(sources "")
  foreach(folder IN LISTS folders)
    file(GLOB found CONFIGURE_DEPENDS
      "${PROJECT_SOURCE_DIR}/${folder}/*.cpp"
      "${PROJECT_SOURCE_DIR}/${folder}/*.h")
    list(APPEND sources ${found})
  endforeach()
  if(NOT sources)
    # A folder with nothing yet still yields a linkable target.
    set(stub "${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp")
    file(WRITE "${stub}" "")
    list(APPEND sources "${stub}")
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
  target_compile_definitions(${name} PUBLIC KORVAN_VERSION="${PROJECT_VERSION}")
  target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

# One test executable per subsystem folder under tests/.
function(korvan_test_suite folder)
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp")
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
  elseif(folder STREQUAL "pipelines")
    target_compile_definitions(${target} PRIVATE KORVAN_TEST_APP=1)
  else()
    target_compile_definitions(${target} PRIVATE KORVAN_TEST_APP=0)
  endif()
  gtest_discover_tests(${target}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;TZ=Europe/Paris"
    TEST_PREFIX "${folder}.")
endfunction()
