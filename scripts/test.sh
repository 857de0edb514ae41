#!/usr/bin/env bash
# Runs every test: installs what is missing, builds the trees (the trees that
# ship among them: the journeys run once more on the release setup.exe),
# starts a private X server and a fresh Wine prefix, then runs CTest on the
# native and Windows trees and their sanitizer builds.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}
source "$ROOT/scripts/arch.sh"
"$ROOT/scripts/deps.sh"
"$ROOT/scripts/build.sh"
# The native tools once more with ASan and UBSan (and their fuzz run).
[ -f "$BUILD_DIR/native-asan/build.ninja" ] ||
  cmake -S "$ROOT" -B "$BUILD_DIR/native-asan" -G Ninja -DWITH_SANITIZERS=ON >/dev/null
cmake --build "$BUILD_DIR/native-asan"
# The Windows tree once more with undefined behaviour trapping, stack
# protector and fortified run-time calls (cmake/Win32Settings.cmake).
UBSAN=$WIN_TREE-ubsan
[ -f "$BUILD_DIR/$UBSAN/build.ninja" ] ||
  cmake -S "$ROOT" -B "$BUILD_DIR/$UBSAN" -G Ninja -DWITH_UBSAN_TRAP=ON \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/$WIN_TOOLCHAIN" \
    -DSAMPLE_OUTPUT_DIR="$BUILD_DIR/$UBSAN/sample" >/dev/null
cmake --build "$BUILD_DIR/$UBSAN"
if [ "$WIN_TREE" = win64 ]; then
  echo "test: this machine runs no 32-bit programs: the Windows tests run the 64-bit"
  echo "test: build (build/win64) under 64-bit Wine; build/win32 is built, not run"
fi
source "$ROOT/scripts/wine-env.sh"
unset DISPLAY   # tests always get their own X server
cleanup() { wineserver -k 2>/dev/null || true; "$ROOT/scripts/xvfb.sh" stop; }
trap cleanup EXIT
"$ROOT/scripts/xvfb.sh" start
export DISPLAY=$(cat "$BUILD_DIR/wine/display")
"$ROOT/scripts/wine-prefix.sh"
wineserver -p   # keep the server warm between test processes
# Start Wine's own services now, detached from CTest's output pipes: the
# first Windows process starts them and they inherit its standard handles,
# so a test would otherwise leave CTest waiting for a pipe that never closes.
wine cmd /c exit </dev/null >/dev/null 2>&1
# The same for the desktop process, which the first window starts: a small
# program holds it for the whole run (tests/support/KeepDesktop.cpp).
setsid wine "$BUILD_DIR/$WIN_TREE/bin/keep_desktop.exe" </dev/null >/dev/null 2>&1 &
sleep 2
status=0 passed=0 failed=0
run_ctest() { # tree: runs its tests and adds its counts to the totals
  local log="$BUILD_DIR/$1-ctest.log" line
  ctest --test-dir "$BUILD_DIR/$1" --output-on-failure -j2 2>&1 | tee "$log" || true
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n1 || true)
  if [ -z "$line" ]; then status=1; return; fi
  local total fail
  total=$(echo "$line" | sed -E 's/.* out of ([0-9]+).*/\1/')
  fail=$(echo "$line" | sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/')
  passed=$((passed + total - fail)); failed=$((failed + fail))
  [ "$fail" = 0 ] || status=1
}
for tree in native native-asan "$WIN_TREE" "$UBSAN"; do run_ctest "$tree"; done
# What the hostile-input runs tried and what came of it.
grep -ah -e '^\[ reliability \]' -e '^\[ mutation \]' -e '^damaged files:' \
  "$BUILD_DIR/$WIN_TREE/Testing/Temporary/LastTest.log" | iconv -f CP932 -t UTF-8 -c || true
echo
echo "test executables over all four trees:"
echo "$passed passed, $failed failed"
exit $status
