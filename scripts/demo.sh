#!/usr/bin/env bash
# The main job: installs what is missing, builds everything and shows what
# was built. (The sample discs and the installer's menu come next.)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}
"$ROOT/scripts/deps.sh"
"$ROOT/scripts/build.sh"
echo
echo "Built (Windows, i686): $BUILD_DIR/win32/bin/"
ls -1 "$BUILD_DIR/win32/bin" | grep -v '_tests\.exe$' | sed 's/^/  /'
echo "Built (Linux authoring tools): $BUILD_DIR/native/bin/"
ls -1 "$BUILD_DIR/native/bin" 2>/dev/null | grep -v '_tests$' | sed 's/^/  /'
