# tunola_add_test(NAME name SOURCES ... LIBS ...)
# One GoogleTest executable per module, registered with CTest. Widget tests run on Qt's
# offscreen platform; HOME and TMPDIR point into the build tree so that no test touches the
# user's files or the running player's socket, and the players under test look for their service
# on the discard port, where nothing answers, unless a test starts one of its own.
function(tunola_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  # Each test program's leak check waits at exit for Qt's threads (tests/SettleThreadsAtExit.cpp).
  add_executable(${T_NAME} ${T_SOURCES} ${CMAKE_SOURCE_DIR}/tests/SettleThreadsAtExit.cpp)
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} tunola_core GTest::gtest GTest::gmock
    GTest::gtest_main)
  target_compile_definitions(${T_NAME} PRIVATE TUNOLA_TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  set(home ${CMAKE_BINARY_DIR}/test-home/${T_NAME})
  file(MAKE_DIRECTORY ${home}/tmp)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOME=${home};TMPDIR=${home}/tmp;XDG_RUNTIME_DIR=${home}/tmp;XDG_CONFIG_HOME=${home}/.config;TUNOLA_SERVICE_HOST=127.0.0.1:9"
    TIMEOUT 600)
endfunction()

# tunola_add_bench(NAME name SOURCES ... LIBS ...)
function(tunola_add_bench)
  cmake_parse_arguments(B "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${B_NAME} ${B_SOURCES})
  target_link_libraries(${B_NAME} PRIVATE ${B_LIBS} benchmark::benchmark)
  target_compile_definitions(${B_NAME} PRIVATE TUNOLA_TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endfunction()

# tunola_add_fuzzer(NAME name SOURCES ... LIBS ...)
function(tunola_add_fuzzer)
  cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${F_NAME} ${F_SOURCES})
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
endfunction()

# tunola_add_subfolders([MODULES_ONLY])
# Adds every subfolder of the current folder that has a CMakeLists.txt, in name order. With
# MODULES_ONLY a subfolder is added only when it is named like a module being built (see
# TUNOLA_ONLY), so the tests of a module left out are left out too.
function(tunola_add_subfolders)
  cmake_parse_arguments(S "MODULES_ONLY" "" "" ${ARGN})
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(NOT IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child}
       OR NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      continue()
    endif()
    if(S_MODULES_ONLY AND TUNOLA_ONLY AND NOT child IN_LIST TUNOLA_MODULE_NAMES)
      continue()
    endif()
    add_subdirectory(${child})
  endforeach()
endfunction()
