# mudalinx_test(NAME SOURCES src... LIBS lib...)
# One GoogleTest binary; its cases are discovered when CTest runs, so a sanitizer
# build never executes test binaries at build time.
function(mudalinx_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    MUDALINX_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    MUDALINX_TESTDATA="${CMAKE_CURRENT_SOURCE_DIR}/testdata"
    MUDALINX_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ENVIRONMENT "MUDALINX_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
endfunction()
