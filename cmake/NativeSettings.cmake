# Settings for the native (Linux) build of the authoring tools.
add_compile_options(-Wall -Wextra -Wshadow)
# The tools as they ship (MinSizeRel, build/native-release): stripped, unused
# functions and data dropped.
add_compile_options($<$<CONFIG:MinSizeRel>:-ffunction-sections> $<$<CONFIG:MinSizeRel>:-fdata-sections>)
add_link_options($<$<CONFIG:MinSizeRel>:-s> $<$<CONFIG:MinSizeRel>:LINKER:--gc-sections>)
find_package(ZLIB REQUIRED)
add_library(zlib_static INTERFACE)
target_link_libraries(zlib_static INTERFACE ZLIB::ZLIB)

# An extra configuration with AddressSanitizer and UndefinedBehaviorSanitizer
# for the tools' own tests.
option(WITH_SANITIZERS "Build with ASan and UBSan" OFF)
if(WITH_SANITIZERS)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()
