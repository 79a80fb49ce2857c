# Sanitizer and fuzzing builds. Both apply to every target of the build folder, so that the
# libraries under test are instrumented as well as the programs that drive them.

option(JOINTRIX_SANITIZE "Build everything with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(JOINTRIX_SANITIZE OR JOINTRIX_BUILD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    message(FATAL_ERROR "Sanitizer builds need GCC or Clang")
  endif()
  # An undefined-behaviour report stops the program, so that a test or a fuzz run fails on it.
  set(jointrix_sanitizers address,undefined)
  add_compile_options(-fsanitize=${jointrix_sanitizers} -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${jointrix_sanitizers} -fno-sanitize-recover=undefined)
endif()

if(JOINTRIX_BUILD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "JOINTRIX_BUILD_FUZZ needs clang (libFuzzer); configure with CXX=clang++")
  endif()
  # Coverage feedback for libFuzzer in every library; the fuzz targets link libFuzzer itself.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
