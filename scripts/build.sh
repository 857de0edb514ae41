#!/usr/bin/env bash
# build.sh [--release]
# Configures and builds the trees: build/native (the authoring tools for
# Linux and their tests), build/win32 (the Windows programs and their tests)
# and, on machines that run no 32-bit programs, build/win64 (the same sources
# for the tests there); and the trees that ship, built with
# -DCMAKE_BUILD_TYPE=MinSizeRel -DSHIPPED_ONLY=ON: build/native-release (pak
# and disccheck for Linux) and build/win32-release (setup.exe, pak.exe,
# disccheck.exe), with build/win64-release beside them where the tests run the
# 64-bit build. --release builds only the trees that ship.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
source "$ROOT/scripts/arch.sh"
configure() { # dir args...
  local dir=$1; shift
  [ -f "$dir/build.ninja" ] || cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
}
release() { # dir args...
  local dir=$1; shift
  configure "$dir" -DCMAKE_BUILD_TYPE=MinSizeRel -DSHIPPED_ONLY=ON "$@"
  cmake --build "$dir"
}
release "$BUILD_DIR/native-release"
release "$BUILD_DIR/win32-release" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake"
[ "$WIN_TREE" = win64 ] &&
  release "$BUILD_DIR/win64-release" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake"
[ "${1:-}" = --release ] && exit 0

# The Windows tree the tests run also lays out the sample discs with the
# release setup.exe beside it and runs the journeys on them once more
# (RELEASE_DIR); a tree configured before it knew of that is told here.
configure_tested() { # dir args...
  local dir=$1; shift
  grep -qxF "RELEASE_DIR:PATH=$dir-release" "$dir/CMakeCache.txt" 2>/dev/null ||
    cmake -S "$ROOT" -B "$dir" -G Ninja "$@" -DRELEASE_DIR="$dir-release" >/dev/null
}
configure "$BUILD_DIR/native"
if [ "$WIN_TREE" = win32 ]; then
  configure_tested "$BUILD_DIR/win32" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake"
else
  configure "$BUILD_DIR/win32" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake"
fi
cmake --build "$BUILD_DIR/native"
cmake --build "$BUILD_DIR/win32"
if [ "$WIN_TREE" = win64 ]; then
  configure_tested "$BUILD_DIR/win64" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake" \
    -DSAMPLE_OUTPUT_DIR="$BUILD_DIR/$WIN_SAMPLE"
  cmake --build "$BUILD_DIR/win64"
fi
