# GoogleTest: the system package on Linux; built from Debian's source copy
# when cross compiling for Windows.
if(CMAKE_CROSSCOMPILING)
  if(NOT TARGET gtest)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  endif()
  set(ZV_GTEST_LIBS gtest gmock)
  set(ZV_GTEST_MAIN gtest_main)
else()
  find_package(GTest REQUIRED)
  set(ZV_GTEST_LIBS GTest::gtest GTest::gmock)
  set(ZV_GTEST_MAIN GTest::gtest_main)
endif()
include(GoogleTest)

# zv_add_test(name SOURCES ... LIBS ...): one test executable. On Linux its
# cases are registered with CTest; Windows builds are run under wine by
# scripts/test.
function(zv_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  zv_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${ZV_GTEST_LIBS} ${ZV_GTEST_MAIN})
  if(NOT CMAKE_CROSSCOMPILING)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "ZV_TEST_DATA=${CMAKE_SOURCE_DIR}/tests/data")
  endif()
endfunction()
