# The part the mingw toolchain files share; they set TRIPLE and DEPS_PREFIX
# (the folder under build/deps holding libpng and libjpeg for that target).
# The posix-thread flavour of mingw-w64: the win32 flavour has no
# std::mutex, which GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TRIPLE}-windres)
get_filename_component(_deps_prefix "${CMAKE_CURRENT_LIST_DIR}/../build/deps/${DEPS_PREFIX}" ABSOLUTE)
set(CMAKE_FIND_ROOT_PATH /usr/${TRIPLE} ${_deps_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
