# tav_add_test(name SOURCES a.cpp b.cpp LIBS lib1 lib2)
# One GoogleTest executable, one CTest test. In the Windows build CTest runs it under Wine,
# in the build tree's own prefix.
function(tav_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  if(TAV_WINEPREFIX)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "WINEPREFIX=${TAV_WINEPREFIX}")
  endif()
endfunction()
