# Compiler and linker settings for the Windows build (32-bit as shipped; 64-bit
# for the tests on machines that run no 32-bit programs).
# Sources are UTF-8; string literals reach the program as Shift-JIS (CP932).
add_compile_options(-Wall -Wextra -Wshadow)
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-finput-charset=UTF-8>
                    $<$<COMPILE_LANGUAGE:CXX>:-fexec-charset=CP932>)
add_compile_definitions(WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0600
                        WIN32_LEAN_AND_MEAN NOMINMAX)
# Static run-time: setup.exe must load on a PC that has no mingw DLLs.
add_link_options(-static -static-libgcc -static-libstdc++)
# The build that ships (MinSizeRel: -Os, no debug information): stripped, and
# every function and datum in a section of its own, so that the linker drops
# what nothing calls. (Unwind tables keep much of it: exceptions need them.)
add_compile_options($<$<CONFIG:MinSizeRel>:-ffunction-sections> $<$<CONFIG:MinSizeRel>:-fdata-sections>)
add_link_options($<$<CONFIG:MinSizeRel>:-s> $<$<CONFIG:MinSizeRel>:LINKER:--gc-sections>)

# zlib: the static library, never the import library of zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)
find_library(ZLIB_STATIC_LIBRARY NAMES libz.a REQUIRED)
find_path(ZLIB_INCLUDE_DIR zlib.h REQUIRED)
add_library(zlib_static INTERFACE)
target_link_libraries(zlib_static INTERFACE ${ZLIB_STATIC_LIBRARY})
target_include_directories(zlib_static INTERFACE ${ZLIB_INCLUDE_DIR})

# Tests and tools run under Wine through this wrapper (prefix, locale, display).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)

find_program(MINGW_OBJDUMP NAMES ${TRIPLE}-objdump REQUIRED)
set(CMAKE_OBJDUMP ${MINGW_OBJDUMP})

# Resource scripts are UTF-8 and start with #pragma code_page(65001), which
# windres honours; their texts reach the program as Shift-JIS at run time.

# The undefined-behaviour build (build/win32-ubsan in scripts/test.sh): mingw
# has no UBSan run-time library, so a detected fault executes a trap
# instruction and the test process dies on it. Stack protector and fortified
# run-time calls come from libssp, linked statically like everything else.
option(WITH_UBSAN_TRAP "Trap on undefined behaviour; stack protector; fortified calls" OFF)
if(WITH_UBSAN_TRAP)
  add_compile_options(-fsanitize=undefined -fsanitize-undefined-trap-on-error
                      -fstack-protector-strong -O2 -D_FORTIFY_SOURCE=2)
  add_link_options(-fstack-protector-strong -lssp)
endif()
