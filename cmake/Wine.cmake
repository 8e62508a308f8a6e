# Tests of Windows programs run under wine64 in a fresh prefix on their own
# X server (see tests/wine/run-in-wine.sh). Only the x86_64 build can run
# here; the i686 build compiles and links its tests without running them.
set(TOLVANE_CAN_RUN_WINDOWS_TESTS OFF)
if(WIN32 AND CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(TOLVANE_CAN_RUN_WINDOWS_TESTS ON)
endif()

set(TOLVANE_WINE_RUNNER ${CMAKE_SOURCE_DIR}/tests/wine/run-in-wine.sh)
set(TOLVANE_WINE_TEMPLATE ${CMAKE_BINARY_DIR}/wine-template)

# tolvane_add_wine_test(NAME COMMAND target [args...] [TIMEOUT seconds])
function(tolvane_add_wine_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "COMMAND" ${ARGN})
  if(NOT TOLVANE_CAN_RUN_WINDOWS_TESTS)
    return()
  endif()
  list(POP_FRONT ARG_COMMAND target)
  add_test(NAME ${name}
    COMMAND ${TOLVANE_WINE_RUNNER} $<TARGET_FILE:${target}> ${ARG_COMMAND})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "TOLVANE_WINE_TEMPLATE=${TOLVANE_WINE_TEMPLATE};TOLVANE_BUILD_DIR=${CMAKE_BINARY_DIR}"
    FIXTURES_REQUIRED wine_template)
endfunction()

if(TOLVANE_CAN_RUN_WINDOWS_TESTS)
  # Prepares the Wine prefix that every Windows test copies.
  add_test(NAME wine_template
    COMMAND ${TOLVANE_WINE_RUNNER} --prepare-only)
  set_tests_properties(wine_template PROPERTIES
    TIMEOUT 300
    ENVIRONMENT "TOLVANE_WINE_TEMPLATE=${TOLVANE_WINE_TEMPLATE}"
    FIXTURES_SETUP wine_template)
endif()
