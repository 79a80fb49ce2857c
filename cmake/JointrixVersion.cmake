# The version lives in the top-level project() call alone. Programs that print it link
# Jointrix::Version and include "jointrix/version.h" (JOINTRIX_VERSION_STRING); the packages
# (CPack, the CMake package's version file, jointrix.pc) read PROJECT_VERSION directly.

configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in
  ${PROJECT_BINARY_DIR}/generated/jointrix/version.h @ONLY)
add_library(jointrix_version INTERFACE)
add_library(Jointrix::Version ALIAS jointrix_version)
target_include_directories(jointrix_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
