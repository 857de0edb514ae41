#!/usr/bin/env bash
# make-disc.sh OUT SOURCE...
# Lays out a game's discs as they are pressed: one folder OUT/NAME for each
# SOURCE folder, in disc order, NAME being the source folder's own name. A
# disc holds
#  - everything in its source: on disc 1 install.ini (or install.pak) and the
#    menu pictures, on every disc its data folder (archives, loose files) and
#    whatever else the game puts there (directX, ...);
#  - setup.exe, the build that ships, in its root (in place of any the
#    source holds);
#  - on every later disc, disc 1's install.ini, install.pak and menu pictures
#    that its source does not hold itself: the menu redraws its pictures from
#    the disc in the drive, which after a disc swap is that disc.
# Then disccheck looks at the discs as the installer will. Its findings make
# the command fail, with the discs left in OUT to look at. A folder OUT/NAME
# that is already there is replaced only when an earlier run made it (the
# list OUT/.make-disc, beside the discs, says so); anything else stops it.
#
#   SETUP=FILE      the setup.exe to put on the discs (default: the build that
#                   ships, build/win32-release/bin/setup.exe)
#   DISCCHECK=FILE  the disc checker (default: build/native-release/bin/disccheck)
# Without them the command first builds the trees that ship (scripts/build.sh
# --release), installing what that needs (scripts/deps.sh).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
usage() { sed -n 2p "$0" >&2; exit 2; }
die() { echo "make-disc: $*" >&2; exit 2; }
[ $# -ge 2 ] || usage
case $1 in -*) usage ;; esac
OUT=$1; shift

if [ -z "${SETUP:-}" ] || [ -z "${DISCCHECK:-}" ]; then
  "$ROOT/scripts/deps.sh" >/dev/null
  "$ROOT/scripts/build.sh" --release >/dev/null
fi
SETUP=${SETUP:-$BUILD_DIR/win32-release/bin/setup.exe}
DISCCHECK=${DISCCHECK:-$BUILD_DIR/native-release/bin/disccheck}
[ -f "$SETUP" ] || die "no setup.exe at $SETUP"
[ -x "$DISCCHECK" ] || die "no disccheck at $DISCCHECK"

# What the menu reads from the disc in the drive (names compared without case).
MENU_FILES=" install.ini install.pak install_back.jpg install_btn01.jpg install_btn02.jpg
  start_btn01.jpg start_btn02.jpg uninstall_btn01.jpg uninstall_btn02.jpg "
is_menu_file() { local n; n=$(basename "$1" | tr '[:upper:]' '[:lower:]'); [[ $MENU_FILES == *" $n"[[:space:]]* ]]; }
# holds DIR NAME: the folder holds a file of that name, case ignored
holds() { [ -n "$(find "$1" -maxdepth 1 -iname "$2" -print -quit)" ]; }

mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd -P)
MADE=$OUT/.make-disc
sources=() discs=()
for src in "$@"; do
  [ -d "$src" ] || die "not a folder: $src"
  src=$(cd "$src" && pwd -P)
  disc=$OUT/$(basename "$src")
  case "$OUT/" in "$src"/*) die "$OUT lies inside the source $src" ;; esac
  [ "$disc" != "$src" ] || die "the source $src is its own disc folder; give another OUT"
  for d in "${discs[@]+"${discs[@]}"}"; do [ "$d" != "$disc" ] || die "two sources named $(basename "$src")"; done
  [ ! -e "$disc" ] || grep -qxF "$(basename "$disc")" "$MADE" 2>/dev/null ||
    die "$disc is there already and is no disc made by this command: move it away or give another OUT"
  sources+=("$src") discs+=("$disc")
done

for i in "${!sources[@]}"; do
  src=${sources[$i]} disc=${discs[$i]}
  rm -rf "$disc"
  mkdir -p "$disc"
  grep -qxF "$(basename "$disc")" "$MADE" 2>/dev/null || basename "$disc" >>"$MADE"
  cp -R "$src/." "$disc/"
  find "$disc" -maxdepth 1 -type f -iname setup.exe -delete
  cp "$SETUP" "$disc/setup.exe"
  [ "$i" = 0 ] && continue
  for f in "${sources[0]}"/*; do
    [ -f "$f" ] && is_menu_file "$f" && ! holds "$src" "$(basename "$f")" && cp "$f" "$disc/"
  done
done

if ! "$DISCCHECK" "${discs[@]}"; then
  echo "make-disc: disccheck found the problems above; the discs are in $OUT" >&2
  exit 1
fi
echo "make-disc: ${#discs[@]} disc(s) in $OUT:$(printf ' %s' "${discs[@]##*/}")"
