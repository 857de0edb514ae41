# Sourced by the scripts that run Windows programs: one place for the Wine
# environment of the tests and the demo. BUILD_DIR may be set by the caller.
ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
export WINEPREFIX=${WINEPREFIX:-$BUILD_DIR/wine/prefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# No Gecko or Mono downloads, no .desktop files from shortcuts, a crash is one line.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"}
# The ANSI code page follows the locale: ja_JP gives 932 (Shift-JIS).
export LC_ALL=ja_JP.UTF-8
export LANG=ja_JP.UTF-8
if [ -z "${DISPLAY:-}" ] && [ -f "$BUILD_DIR/wine/display" ]; then
  export DISPLAY=$(cat "$BUILD_DIR/wine/display")
fi
