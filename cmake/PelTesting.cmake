# Test executables run under Wine through CTest's cross-compiling emulator.
include(GoogleTest)

set(PEL_WINE_ROOT_DEFAULT "${CMAKE_BINARY_DIR}/wine")
configure_file("${PROJECT_SOURCE_DIR}/cmake/wine-run.sh" "${CMAKE_BINARY_DIR}/wine-run.sh"
               @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
               GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(PEL_WINE_RUN "${CMAKE_BINARY_DIR}/wine-run.sh" CACHE INTERNAL "")

# The last test of a run ends the run's wineservers and Xvfb and removes its prefixes.
add_test(NAME wine_shutdown COMMAND "${PEL_WINE_RUN}" --shutdown)
set_tests_properties(wine_shutdown PROPERTIES FIXTURES_CLEANUP wine)

# pel_add_test(NAME SOURCES ... [LIBS ...] [PROPERTIES ...])
# A GoogleTest executable whose cases become CTest tests, each run under Wine.
function(pel_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE pel_test_support GTest::gtest_main ${T_LIBS})
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${PEL_WINE_RUN}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 300
    WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
    PROPERTIES FIXTURES_REQUIRED wine TIMEOUT ${T_TIMEOUT} ${T_PROPERTIES})
endfunction()

# pel_add_script_test(NAME COMMAND ...): a shell-driven test (end to end), also
# inside the run's Wine setting.
function(pel_add_script_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "COMMAND;PROPERTIES" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND ${T_COMMAND})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "PEL_WINE_RUN=${PEL_WINE_RUN}" ${T_PROPERTIES})
endfunction()

# pel_add_python_tests(PREFIX MODULE GROUPS ... [ENVIRONMENT ...] [TIMEOUT s])
# One CTest test per unittest class GROUP of MODULE.py (in this folder), named
# PREFIX_GROUP, run inside the run's Wine setting with the environment given.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
function(pel_add_python_tests prefix module)
  cmake_parse_arguments(T "" "TIMEOUT" "GROUPS;ENVIRONMENT" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  foreach(group IN LISTS T_GROUPS)
    add_test(NAME ${prefix}_${group}
      COMMAND "${Python3_EXECUTABLE}" -m unittest -v "${module}.${group}"
      WORKING_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}")
    set_tests_properties(${prefix}_${group} PROPERTIES FIXTURES_REQUIRED wine
      TIMEOUT ${T_TIMEOUT} ENVIRONMENT "PEL_WINE_RUN=${PEL_WINE_RUN};${T_ENVIRONMENT}")
  endforeach()
endfunction()

# A build path as a wide C string literal in the form the tests open it: under
# Wine the Linux root is drive Z:.
function(pel_wide_path_literal out path)
  if(CMAKE_CROSSCOMPILING)
    set(path "Z:${path}")
  else()
    file(TO_NATIVE_PATH "${path}" path)
  endif()
  string(REPLACE "/" "\\" path "${path}")
  string(REPLACE "\\" "\\\\" path "${path}")
  set(${out} "L\"${path}\"" PARENT_SCOPE)
endfunction()
