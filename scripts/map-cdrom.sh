#!/usr/bin/env bash
# map-cdrom.sh LETTER DIR [LABEL]: makes DIR appear as CD-ROM drive LETTER: in
# the prefix. The type and label take effect when the wineserver restarts.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
letter=$(echo "$1" | tr 'A-Z' 'a-z'); dir=$(cd "$2" && pwd); label=${3:-}
ln -sfn "$dir" "$WINEPREFIX/dosdevices/$letter:"
[ -n "$label" ] && printf '%s\n' "$label" >"$dir/.windows-label"
wine reg add 'HKLM\Software\Wine\Drives' /v "$letter:" /d cdrom /f >/dev/null 2>&1
wineserver -k 2>/dev/null || true
