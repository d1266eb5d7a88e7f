# vantrelo_add_test(<name> LABEL <label> SOURCES <files...> LIBS <targets...>)
# One GoogleTest executable; every test case becomes a CTest test carrying the label, so
# `ctest -L mysql` runs the MySQL-server tests and so on.
find_package(GTest REQUIRED)
include(GoogleTest)

function(vantrelo_add_test name)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} vantrelo_testsupport GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name}
    PROPERTIES LABELS ${T_LABEL}
    DISCOVERY_TIMEOUT 60)
endfunction()
