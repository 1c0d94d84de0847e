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
    set_tests_properties(${name} PROPERTIES
      ENVIRONMENT "WINEPREFIX=${TAV_WINEPREFIX}" FIXTURES_REQUIRED wine_prefix)
  endif()
endfunction()

# The tests of a Windows build share the build tree's prefix and run side by side: it is
# created once, before any of them starts.
if(TAV_WINEPREFIX)
  add_test(NAME wine_prefix COMMAND ${CMAKE_SOURCE_DIR}/tools/wine-run.sh --prepare)
  set_tests_properties(wine_prefix PROPERTIES
    ENVIRONMENT "WINEPREFIX=${TAV_WINEPREFIX}" FIXTURES_SETUP wine_prefix TIMEOUT 300)
endif()
