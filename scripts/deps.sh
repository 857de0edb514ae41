#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, then cross-builds
# libpng and libjpeg-turbo from Debian's source packages into a cached prefix.
# Idempotent: a second run only checks and returns within seconds.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
DEPS="$ROOT/build/deps"
source "$ROOT/scripts/arch.sh"
export DEBIAN_FRONTEND=noninteractive

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

PACKAGES=(
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  mingw-w64-i686-dev libz-mingw-w64-dev
  wine wine32:i386 fonts-wine xvfb x11-utils xauth locales fonts-ipafont-gothic
  cmake ninja-build googletest dpkg-dev
  g++ clang zlib1g-dev libclang-rt-14-dev imagemagick
)
# The 64-bit test build where the machine runs no 32-bit programs.
[ "$WIN_ARCH" = x86_64 ] && PACKAGES+=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev wine64
)

missing_packages() {
  local p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}

ensure_i386() {
  dpkg --print-foreign-architectures | grep -qx i386 && return 0
  as_root dpkg --add-architecture i386
  NEED_UPDATE=1
}

ensure_deb_src() {
  if grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return 0
  fi
  as_root tee /etc/apt/sources.list.d/deb-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  NEED_UPDATE=1
}

# The tests run under Japanese (code page 932), Western (1252) and Chinese
# (936) locales: the installer must show and create the same texts on each.
LOCALES="ja_JP.UTF-8:UTF-8 en_US.UTF-8:UTF-8 zh_CN.GBK:GBK"
ensure_locales() {
  local entry name charset missing=0 have
  have=$(locale -a 2>/dev/null | tr 'A-Z' 'a-z' | tr -d '-')
  for entry in $LOCALES; do
    name=${entry%%:*} charset=${entry##*:}
    echo "$have" | grep -qx "$(echo "$name" | tr 'A-Z' 'a-z' | tr -d '-')" && continue
    missing=1
    grep -q "^$name $charset\$" /etc/locale.gen 2>/dev/null ||
      echo "$name $charset" | as_root tee -a /etc/locale.gen >/dev/null
  done
  [ "$missing" = 0 ] || as_root locale-gen >/dev/null
}

NEED_UPDATE=0
ensure_i386
ensure_deb_src
missing=$(missing_packages)
if [ -n "$missing" ] || [ "$NEED_UPDATE" = 1 ]; then
  echo "deps: installing: $missing" | tr '\n' ' '; echo
  as_root apt-get update -qq
  # shellcheck disable=SC2086
  as_root apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi
ensure_locales

# --- libpng and libjpeg-turbo, cross-built once per target --------------------
fetch_source() { # package -> prints the unpacked folder
  local pkg=$1 dir
  dir=$(find "$DEPS/src" -maxdepth 1 -mindepth 1 -type d -name "$2*" 2>/dev/null | head -n1)
  if [ -z "$dir" ]; then
    mkdir -p "$DEPS/src"
    ( cd "$DEPS/src" && apt-get source -qq "$pkg" >/dev/null 2>&1 ) || {
      as_root apt-get update -qq; ( cd "$DEPS/src" && apt-get source -qq "$pkg" >/dev/null ); }
    dir=$(find "$DEPS/src" -maxdepth 1 -mindepth 1 -type d -name "$2*" | head -n1)
  fi
  echo "$dir"
}

# How they are built; the installer links them statically, so these decide
# part of setup.exe's size:
# - -Os; -ffunction-sections -fdata-sections, so that the linker of the build
#   that ships can drop what the program never calls;
# - -fexceptions: a C++ exception thrown from an error callback passes
#   through their frames (STYLE.md, habit 7);
# - NO_GETENV: libjpeg reads no environment variables (JPEGMEM and the like);
#   reading JPEGMEM with sscanf also pulled mingw's whole scanf in;
# - __USE_MINGW_ANSI_STDIO=0: their message texts are formatted by msvcrt,
#   not by mingw's own printf, which setup.exe would otherwise carry;
# - libjpeg-turbo without SIMD: its dispatcher links every SIMD routine, the
#   compressor's too (180 KB), and the C code decodes the menu's 480 x 320
#   pictures in a few milliseconds;
# - libpng without write support (scripts/libpng.dfa).
# Changing any of this changes the key kept in the prefix, and the next run
# builds both libraries anew.
DEP_BUILD_TYPE=MinSizeRel
DEP_CFLAGS="-fexceptions -ffunction-sections -fdata-sections -DNO_GETENV -D__USE_MINGW_ANSI_STDIO=0"
JPEG_OPTIONS=(-DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF)
PNG_OPTIONS=(-DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DPNG_TOOLS=OFF)
PNG_DFA=$ROOT/scripts/libpng.dfa
DEPS_KEY=$(printf '%s\n' "$DEP_BUILD_TYPE" "$DEP_CFLAGS" "${JPEG_OPTIONS[@]}" "${PNG_OPTIONS[@]}" |
  cat - "$PNG_DFA" | sha256sum | cut -c1-16)

cross_build() { # name srcdir cmake-args...
  local name=$1 src=$2; shift 2
  local bdir="$DEPS/build-$name-$TRIPLE"
  rm -rf "$bdir"
  cmake -S "$src" -B "$bdir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DCMAKE_BUILD_TYPE=$DEP_BUILD_TYPE -DCMAKE_INSTALL_PREFIX="$PREFIX" \
    -DCMAKE_C_FLAGS="$DEP_CFLAGS" "$@" >"$DEPS/$name-$TRIPLE.log" 2>&1
  cmake --build "$bdir" >>"$DEPS/$name-$TRIPLE.log" 2>&1
  cmake --install "$bdir" >>"$DEPS/$name-$TRIPLE.log" 2>&1
}

build_libraries() { # triple toolchain prefix
  TRIPLE=$1 TOOLCHAIN="$ROOT/cmake/$2" PREFIX="$DEPS/$3"
  if [ "$(cat "$PREFIX/build-key" 2>/dev/null)" != "$DEPS_KEY" ]; then
    rm -rf "$PREFIX"
    echo "deps: building libjpeg-turbo for $TRIPLE"
    src=$(fetch_source libjpeg-turbo libjpeg-turbo-)
    cross_build jpeg "$src" "${JPEG_OPTIONS[@]}" -DCMAKE_INSTALL_LIBDIR="$PREFIX/lib" \
      -DCMAKE_INSTALL_INCLUDEDIR="$PREFIX/include"
    echo "deps: building libpng for $TRIPLE"
    src=$(fetch_source libpng1.6 libpng1.6-)
    cross_build png "$src" "${PNG_OPTIONS[@]}" -DDFA_XTRA="$PNG_DFA" -DZLIB_USE_STATIC_LIBS=ON \
      -DZLIB_LIBRARY="/usr/$TRIPLE/lib/libz.a" \
      -DZLIB_INCLUDE_DIR="/usr/$TRIPLE/include" -DCMAKE_INSTALL_LIBDIR=lib
    # the static library may be installed as libpng16.a only
    [ -f "$PREFIX/lib/libpng.a" ] || cp "$PREFIX/lib/libpng16.a" "$PREFIX/lib/libpng.a"
    echo "$DEPS_KEY" >"$PREFIX/build-key"
  fi
  echo "deps: ready (prefix $PREFIX)"
}

build_libraries i686-w64-mingw32 mingw-i686.cmake prefix
[ "$WIN_ARCH" = x86_64 ] && build_libraries x86_64-w64-mingw32 mingw-x86_64.cmake prefix-x86_64
exit 0
