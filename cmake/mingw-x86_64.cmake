# Cross-compiles the same sources for 64-bit Windows: the build the tests run
# on machines that cannot run 32-bit programs (scripts/arch.sh).
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(TRIPLE x86_64-w64-mingw32)
set(DEPS_PREFIX prefix-x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
