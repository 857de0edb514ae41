#!/usr/bin/env bash
# The main job: installs what is missing, builds everything, lays out the
# sample game's two discs with the setup.exe that ships (scripts/make-disc.sh,
# through the sample_release target) and runs the installer from disc 1 in a
# Wine prefix of its own (build/demo/prefix), with disc 1 as CD-ROM drive Q:.
#
# With a display (DISPLAY set) you click through it yourself; press Enter in
# this terminal to swap the disc in Q:. Without one (or with DEMO_TOUR=1) a
# scripted tour runs under a private Xvfb server: install across both discs,
# the game, uninstall, with a screenshot of every screen in build/demo/.
#
# DEMO_LOCALE=en_US.UTF-8 (or zh_CN.GBK) runs it all on a system of that
# locale: Wine's code page is then 1252 (936), and the installer's texts and
# the names it creates are the same Japanese ones.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}
started=$(date +%s)
source "$ROOT/scripts/arch.sh"
"$ROOT/scripts/deps.sh"
"$ROOT/scripts/build.sh"
cmake --build "$BUILD_DIR/$WIN_TREE" --target sample_release tour
built=$(date +%s)

DEMO=$BUILD_DIR/demo
BIN=$BUILD_DIR/$WIN_TREE/bin
DISCS=$BUILD_DIR/$WIN_TREE-release/sample   # the release setup.exe on them
DISC1=$DISCS/disc1
DISC2=$DISCS/disc2
# Decided before wine-env.sh, which takes the tests' X server when one runs.
tour=${DEMO_TOUR:-}
[ -z "${DISPLAY:-}" ] && tour=1
export WINEPREFIX=$DEMO/prefix
export WINE_LOCALE=${DEMO_LOCALE:-ja_JP.UTF-8}
source "$ROOT/scripts/wine-env.sh"
echo "demo: locale $LC_ALL"
winpath() { local p; p=$(cd "$1" && pwd); echo "Z:${p//\//\\}"; }

XVFB_PID=
stop() {
  wineserver -k 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
}
trap stop EXIT

if [ -n "$tour" ]; then
  # A private X server; Xvfb picks a free display number itself.
  mkdir -p "$DEMO"
  exec 3>"$DEMO/display.num"
  Xvfb -displayfd 3 -screen 0 800x600x24 -br -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  exec 3>&-
  for _ in $(seq 100); do [ -s "$DEMO/display.num" ] && break; sleep 0.1; done
  export DISPLAY=:$(tr -d '\n' <"$DEMO/display.num")
fi

echo "demo: fresh Wine prefix in $WINEPREFIX"
rm -rf "$DEMO"/*.png "$DEMO/request"
"$ROOT/scripts/wine-prefix.sh"
wineserver -p

if [ -z "$tour" ]; then
  wine "$BIN/tour.exe" --insert "$(winpath "$DISC1")"
  echo "demo: disc 1 is in drive Q:; setup.exe starts from it."
  echo "demo: press Enter here to swap discs (1 <-> 2); close the installer to end."
  wine start /wait /d 'Q:\' 'Q:\setup.exe' &
  setup=$!
  disc=1
  while kill -0 "$setup" 2>/dev/null; do
    if read -r -t 1 _; then
      disc=$((3 - disc))
      wine "$BIN/tour.exe" --insert "$(winpath "$DISCS/disc$disc")"
      echo "demo: disc $disc is in drive Q:"
    fi
  done
  echo "demo: done in $(( $(date +%s) - started )) s"
  exit 0
fi

# The tour asks for each picture by writing its name to $DEMO/request and
# waits until the file is gone.
# (its messages quote the installer's Shift-JIS texts: shown as UTF-8)
wine "$BIN/tour.exe" "$(winpath "$DISC1")" "$(winpath "$DISC2")" "$(winpath "$DEMO")" \
  > >(iconv -f CP932 -t UTF-8 -c) 2>&1 &
tour_pid=$!
while kill -0 "$tour_pid" 2>/dev/null; do
  if [ -f "$DEMO/request" ]; then
    name=$(tr -d '\r\n' <"$DEMO/request")
    import -window root "$DEMO/$name.png"
    rm -f "$DEMO/request"
  fi
  sleep 0.1
done
wait "$tour_pid" && result=0 || result=$?
finished=$(date +%s)
echo
echo "demo: screenshots in $DEMO/:"
ls -1 "$DEMO"/*.png 2>/dev/null | sed 's/^/  /'
echo "demo: build $((built - started)) s, tour $((finished - built)) s, total $((finished - started)) s"
[ "$result" = 0 ] || echo "demo: the tour FAILED (exit $result)" >&2
exit "$result"
