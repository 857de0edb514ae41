# Cross-compiles for 32-bit Windows: the product as it ships.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TRIPLE i686-w64-mingw32)
set(DEPS_PREFIX prefix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
