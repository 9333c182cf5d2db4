# velm_add_fuzz(<name> SOURCES <files...> DEPS <libraries...>)
# A libFuzzer target, built when the project is configured with clang and
# -DVELM_FUZZ=ON (scripts/fuzz does that, together with the sanitizers); without
# VELM_FUZZ the call adds nothing. The libraries it links get coverage
# instrumentation; ctest runs the target for VELM_FUZZ_SECONDS seconds under the
# label "fuzz". The target velm_fuzz_all builds every fuzz target.
include_guard(GLOBAL)

option(VELM_FUZZ "Build the libFuzzer targets (clang only)" OFF)
set(VELM_FUZZ_SECONDS 10 CACHE STRING "Seconds each fuzz target runs under ctest")
if(VELM_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "VELM_FUZZ needs clang (libFuzzer); this build uses ${CMAKE_CXX_COMPILER_ID}")
  endif()
  add_custom_target(velm_fuzz_all)
endif()

function(velm_add_fuzz name)
  cmake_parse_arguments(F "" "" "SOURCES;DEPS" ${ARGN})
  if(VELM_FUZZ)
    add_executable(${name} ${F_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${F_DEPS})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address)
    foreach(lib IN LISTS F_DEPS)
      target_compile_options(${lib} PRIVATE -fsanitize=fuzzer-no-link)
    endforeach()
    add_test(NAME ${name} COMMAND ${name} -max_total_time=${VELM_FUZZ_SECONDS} -seed=1 -rss_limit_mb=2048)
    set_tests_properties(${name} PROPERTIES
      LABELS fuzz
      ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1;VELM_NONINTERACTIVE=1"
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
      TIMEOUT 600)
    add_dependencies(velm_fuzz_all ${name})
  endif()
endfunction()
