# Sourced by the scripts that run Windows programs: one place for the Wine
# environment of the tests and the demo. BUILD_DIR may be set by the caller.
ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
source "$ROOT/scripts/arch.sh"
if [ "$WIN_ARCH" = i686 ]; then
  export WINEPREFIX=${WINEPREFIX:-$BUILD_DIR/wine/prefix}
  export WINEARCH=win32
else
  export WINEPREFIX=${WINEPREFIX:-$BUILD_DIR/wine/prefix64}
  export WINEARCH=win64
  # Debian's wine and wineboot commands start the 32-bit loader whenever it is
  # installed; on this machine it cannot run, so they get the 64-bit one.
  _shims=$BUILD_DIR/wine/bin64
  if [ ! -x "$_shims/wine-stable" ]; then
    mkdir -p "$_shims"
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$_shims/wine"
    cp "$_shims/wine" "$_shims/wine-stable"
    chmod +x "$_shims/wine" "$_shims/wine-stable"
  fi
  case ":$PATH:" in *":$_shims:"*) ;; *) export PATH=$_shims:$PATH ;; esac
  unset _shims
fi
export WINEDEBUG=${WINEDEBUG:--all}
# No Gecko or Mono downloads, no .desktop files from shortcuts, a crash is one line.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"}
# The ANSI code page follows the locale: ja_JP gives 932 (Shift-JIS), the
# default; WINE_LOCALE picks another (en_US.UTF-8: 1252, zh_CN.GBK: 936).
export LC_ALL=${WINE_LOCALE:-ja_JP.UTF-8}
export LANG=$LC_ALL
if [ -z "${DISPLAY:-}" ] && [ -f "$BUILD_DIR/wine/display" ]; then
  export DISPLAY=$(cat "$BUILD_DIR/wine/display")
fi
