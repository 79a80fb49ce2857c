# Shared settings for every target of the project.

add_library(jointrix_warnings INTERFACE)
add_library(Jointrix::Warnings ALIAS jointrix_warnings)
target_compile_options(jointrix_warnings INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
    -Wold-style-cast -Wcast-align -Woverloaded-virtual -Wnull-dereference>)
target_compile_definitions(jointrix_warnings INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING
  QT_NO_KEYWORDS QT_USE_QSTRINGBUILDER QT_NO_FOREACH)

# jointrix_add_library(<name> ALIAS <Ns::Name> SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
# A static library whose headers are reached as "<folder>/<Unit>.h" from src/.
function(jointrix_add_library name)
  cmake_parse_arguments(ARG "" "ALIAS" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  add_library(${ARG_ALIAS} ALIAS ${name})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE Jointrix::Warnings ${ARG_PRIVATE_LIBS})
endfunction()

# jointrix_add_test(<name> SOURCES ... LIBS ... [COMMA_LOCALE] [TIMEOUT s])
# A Qt Test executable registered with ctest, headless on the offscreen platform, in the C
# locale. COMMA_LOCALE registers it a second time as <name>-comma under a German locale, whose
# decimal separator is a comma.
function(jointrix_add_test name)
  cmake_parse_arguments(ARG "COMMA_LOCALE" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test Jointrix::Warnings ${ARG_LIBS})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  set(locales "C")
  if(ARG_COMMA_LOCALE)
    list(APPEND locales "de_DE.UTF-8")
  endif()
  foreach(locale IN LISTS locales)
    set(test_name ${name})
    if(NOT locale STREQUAL "C")
      set(test_name ${name}-comma)
    endif()
    add_test(NAME ${test_name} COMMAND ${name})
    set_tests_properties(${test_name} PROPERTIES
      TIMEOUT ${ARG_TIMEOUT}
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=${locale};XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/runtime"
      ENVIRONMENT_MODIFICATION "QT_QPA_PLATFORMTHEME=unset:")
  endforeach()
endfunction()
