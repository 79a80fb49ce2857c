# jointrix_add_fuzzer(<name> SOURCES ... LIBS ...)
#
# A libFuzzer target over LLVMFuzzerTestOneInput (and LLVMFuzzerInitialize, if it defines one)
# with its seed corpus in tests/fuzz/corpus/<name>/ and the inputs that once failed in
# tests/fuzz/regressions/<name>/.
#
# In a fuzz build (JOINTRIX_BUILD_FUZZ, clang) it becomes bin/fuzz-<name>, linked with
# libFuzzer, which scripts/run-fuzzers drives. In every other build it becomes
# bin/fuzz-replay-<name>, the same target with a small driver that feeds it each seed and each
# regression input once, registered with ctest as fuzz-replay-<name>; so the normal and the
# sanitizer test runs check every committed input without clang.
function(jointrix_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  set(inputs ${PROJECT_SOURCE_DIR}/tests/fuzz/corpus/${name})
  if(NOT IS_DIRECTORY ${inputs})
    message(FATAL_ERROR "fuzz target ${name} has no seed corpus in ${inputs}")
  endif()
  if(JOINTRIX_BUILD_FUZZ)
    set(target fuzz-${name})
    add_executable(${target} ${ARG_SOURCES})
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
    # `cmake --build <dir> --target fuzzers` builds every fuzz target and nothing else.
    if(NOT TARGET fuzzers)
      add_custom_target(fuzzers)
    endif()
    add_dependencies(fuzzers ${target})
  else()
    set(target fuzz-replay-${name})
    add_executable(${target} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/fuzz/ReplayMain.cpp)
    set(regressions ${PROJECT_SOURCE_DIR}/tests/fuzz/regressions/${name})
    add_test(NAME ${target} COMMAND ${target} ${inputs} ${regressions})
    set_tests_properties(${target} PROPERTIES
      TIMEOUT 120
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C;XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/runtime"
      ENVIRONMENT_MODIFICATION "QT_QPA_PLATFORMTHEME=unset:")
  endif()
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests/fuzz)
  target_link_libraries(${target} PRIVATE Jointrix::Warnings ${ARG_LIBS})
endfunction()
