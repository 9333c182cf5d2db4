# velm_add_fuzz(<name> SOURCES <files...> DEPS <libraries...>
#               [CORPUS <seed folders...>] [DICT <file>] [SEED_TARGETS <targets...>])
# A libFuzzer target, built when the project is configured with clang and
# -DVELM_FUZZ=ON (scripts/fuzz does that, together with the sanitizers); without
# VELM_FUZZ the call adds nothing. The libraries it links get coverage
# instrumentation; ctest runs the target for VELM_FUZZ_SECONDS seconds under the
# label "fuzz" (an input that runs over 10 s counts as a hang), starting from the
# seed folders (valid files, read only) and a working corpus of its own in the
# build folder, kept from run to run. Seed folders made at build time name the
# targets that make them in SEED_TARGETS. DICT gives the format's tokens. The
# target velm_fuzz_all builds every fuzz target.
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
  cmake_parse_arguments(F "" "DICT" "SOURCES;DEPS;CORPUS;SEED_TARGETS" ${ARGN})
  if(VELM_FUZZ)
    add_executable(${name} ${F_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${F_DEPS})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address)
    foreach(lib IN LISTS F_DEPS)
      target_compile_options(${lib} PRIVATE -fsanitize=fuzzer-no-link)
    endforeach()
    # An input that runs for more than 10 s is reported as a hang at once, rather than
    # when ctest gives up on the whole run.
    set(options -max_total_time=${VELM_FUZZ_SECONDS} -seed=1 -rss_limit_mb=2048 -timeout=10)
    if(F_DICT)
      list(APPEND options -dict=${F_DICT})
    endif()
    set(work_corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}.corpus)
    file(MAKE_DIRECTORY ${work_corpus})
    if(F_SEED_TARGETS)
      add_dependencies(${name} ${F_SEED_TARGETS})
    endif()
    add_test(NAME ${name} COMMAND ${name} ${options} ${work_corpus} ${F_CORPUS})
    set_tests_properties(${name} PROPERTIES
      LABELS fuzz
      ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1;VELM_NONINTERACTIVE=1"
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
      TIMEOUT 600)
    add_dependencies(velm_fuzz_all ${name})
  endif()
endfunction()
