# vantrelo_add_test(<name> LABEL <label> [LOCK <resource>] SOURCES <files...> LIBS <targets...>)
# One GoogleTest executable; every test case becomes a CTest test carrying the label, so
# `ctest -L mysql` runs the MySQL-server tests and so on. LOCK names what its cases share (the
# tables of the test database, say), so that `ctest -j` never runs two of them at once. In a cross build (Windows programs run
# under Wine) each executable is one CTest test instead: one emulator start per program, not
# one per case.
include(GoogleTest)
if(CMAKE_CROSSCOMPILING)
  # Built for the target from the sources Debian's googletest package installs.
  set(VANTRELO_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for a cross build")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  # Its own CMake files define GTest::gtest and GTest::gtest_main.
  add_subdirectory(${VANTRELO_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()

function(vantrelo_add_test name)
  cmake_parse_arguments(T "" "LABEL;LOCK" "SOURCES;LIBS" ${ARGN})
  set(properties LABELS ${T_LABEL})
  if(T_LOCK)
    list(APPEND properties RESOURCE_LOCK ${T_LOCK})
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} vantrelo_testsupport GTest::gtest GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ${properties})
  else()
    gtest_discover_tests(${name}
      PROPERTIES ${properties}
      DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
