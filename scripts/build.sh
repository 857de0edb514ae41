#!/usr/bin/env bash
# Configures and builds the trees: build/win32 (the Windows binaries as they
# ship), build/native (the authoring tools for Linux) and, on machines that
# run no 32-bit programs, build/win64 (the same sources for the tests there).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
source "$ROOT/scripts/arch.sh"
configure() { # dir args...
  local dir=$1; shift
  [ -f "$dir/build.ninja" ] || cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
}
configure "$BUILD_DIR/win32" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake"
configure "$BUILD_DIR/native"
cmake --build "$BUILD_DIR/native"
cmake --build "$BUILD_DIR/win32"
if [ "$WIN_TREE" = win64 ]; then
  configure "$BUILD_DIR/win64" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake" \
    -DSAMPLE_OUTPUT_DIR="$BUILD_DIR/$WIN_SAMPLE"
  cmake --build "$BUILD_DIR/win64"
fi
