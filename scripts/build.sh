#!/usr/bin/env bash
# Configures and builds both trees: build/win32 (Windows binaries) and
# build/native (the authoring tools for Linux).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
configure() { # dir args...
  local dir=$1; shift
  [ -f "$dir/build.ninja" ] || cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
}
configure "$BUILD_DIR/win32" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake"
configure "$BUILD_DIR/native"
cmake --build "$BUILD_DIR/native"
cmake --build "$BUILD_DIR/win32"
