# Helpers that add a module library and a test executable with the project's
# warning set. Sources are listed by hand: a listed source that does not exist
# stops the configure step with CMake's own error naming the file.

function(velm_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wshadow
    -Wnon-virtual-dtor -Woverloaded-virtual -Wold-style-cast -Wimplicit-fallthrough -Wsuggest-override)
  if(VELM_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# velm_add_module(<name> SOURCES <files...> [DEPS <targets...>] [PRIVATE_DEPS <targets...>])
# Adds the static library <name>.
function(velm_add_module name)
  cmake_parse_arguments(M "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  if(NOT M_SOURCES)
    message(FATAL_ERROR "velm_add_module(${name}): no SOURCES listed")
  endif()
  add_library(${name} STATIC ${M_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  if(M_DEPS)
    target_link_libraries(${name} PUBLIC ${M_DEPS})
  endif()
  if(M_PRIVATE_DEPS)
    target_link_libraries(${name} PRIVATE ${M_PRIVATE_DEPS})
  endif()
  velm_warnings(${name})
endfunction()

# velm_add_test(<name> SOURCES <files...> [DEPS <targets...>] [LABELS <labels...>])
# Adds a GoogleTest executable run by ctest as one test. Tests run headless:
# the environment below is also set by test.sh for whole-program runs.
function(velm_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;DEPS;LABELS" ${ARGN})
  if(NOT T_SOURCES)
    message(FATAL_ERROR "velm_add_test(${name}): no SOURCES listed")
  endif()
  add_executable(${name} ${T_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${T_DEPS} GTest::gtest GTest::gtest_main)
  velm_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy;VELM_NONINTERACTIVE=1"
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    TIMEOUT 300)
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()

# The environment of the test entries that open windows on a virtual X server. The GL
# driver those windows load is unloaded before the leak check runs, so what it keeps cannot
# be named in a suppression (its module is gone): leaks are checked by every headless test,
# not by these.
set(VELM_XVFB_TEST_ENV
  "SDL_AUDIODRIVER=dummy;VELM_NONINTERACTIVE=1;ASAN_OPTIONS=detect_leaks=0:abort_on_error=1;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/platform/lsan-system-libraries.supp")

# velm_whole_program_tests(<tests...>): tests that run the whole game with its threads. In a
# sanitizer build the leak checker stops every thread at exit and can itself fall over while
# the sound and loading threads wind down, so these leave leak checks to the unit tests;
# address and undefined-behaviour errors still fail them.
function(velm_whole_program_tests)
  foreach(name IN LISTS ARGN)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT
      "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy;VELM_NONINTERACTIVE=1;ASAN_OPTIONS=detect_leaks=0:abort_on_error=1")
  endforeach()
endfunction()
