#!/usr/bin/env bash
# Creates a fresh 32-bit Wine prefix ($WINEPREFIX) set up for the tests:
# no window-manager delays, Japanese fonts for readable screenshots.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"
wineboot -i >/dev/null 2>&1
wineserver -w
reg() { wine reg add "$@" /f >/dev/null 2>&1; }
# Under a bare X server every closed window lingers 2 s unless unmanaged.
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
for face in "ＭＳ Ｐゴシック" "ＭＳ ゴシック" "ＭＳ 明朝" "ＭＳ Ｐ明朝" "MS Shell Dlg" "MS UI Gothic"; do
  reg 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d IPAPGothic
done
wineserver -w
