#!/usr/bin/env bash
# bench.sh [--size MiB] [--rounds N] [--scaling "64 512"] [--small "100 10000"]
#          [--warm] [--keep]
# Install benchmark: our copy step (under Wine) against a native copy of the
# same data (the physical baseline) and against an NSIS installer of the same
# payload (under the same Wine prefix), alternating the contenders each round.
# Prints medians and ratios; raw figures go to $BUILD_DIR/bench/results.tsv.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}
SIZE=512 ROUNDS=3 SCALING="" SMALL="100 10000" CACHE=cold KEEP=0
while [ $# -gt 0 ]; do
  case "$1" in
    --size) SIZE=$2; shift 2 ;;
    --rounds) ROUNDS=$2; shift 2 ;;
    --scaling) SCALING=$2; shift 2 ;;
    --small) SMALL=$2; shift 2 ;;
    --warm) CACHE=warm; shift ;;
    --keep) KEEP=1; shift ;;
    *) sed -n '2,3p' "$0" >&2; exit 2 ;;
  esac
done
SIZES=$(echo "$SCALING $SIZE" | tr ' ' '\n' | grep . | sort -nu | tr '\n' ' ')

BENCH=$BUILD_DIR/bench
source "$ROOT/scripts/arch.sh"
BIN=$BUILD_DIR/$WIN_TREE/bin
PAK=$BUILD_DIR/native/bin/pak
RESULTS=$BENCH/results.tsv
mkdir -p "$BENCH"

# ---- tools and builds ------------------------------------------------------
bench_packages=""
command -v makensis >/dev/null || bench_packages="$bench_packages nsis"
command -v python3 >/dev/null || bench_packages="$bench_packages python3"
if [ -n "$bench_packages" ]; then
  as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }
  # shellcheck disable=SC2086
  as_root apt-get install -y -qq --no-install-recommends $bench_packages >/dev/null ||
    { as_root apt-get update -qq && as_root apt-get install -y -qq --no-install-recommends $bench_packages >/dev/null; }
fi
"$ROOT/scripts/deps.sh" >/dev/null
configure() { local dir=$1; shift; [ -f "$dir/build.ninja" ] || cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null; }
configure "$BUILD_DIR/$WIN_TREE" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/$WIN_TOOLCHAIN" \
  -DSAMPLE_OUTPUT_DIR="$BUILD_DIR/$WIN_SAMPLE"
configure "$BUILD_DIR/native"
cmake --build "$BUILD_DIR/native" --target pak disccheck >/dev/null   # the sample discs are checked
cmake --build "$BUILD_DIR/$WIN_TREE" --target bench_install bench_startup bench_dialog setup sample >/dev/null

source "$ROOT/scripts/wine-env.sh"
WINELOG=$BENCH/wine.log; : >"$WINELOG"
wine() { command wine "$@" 2>>"$WINELOG"; }   # Wine's own notices stay out of the tables
timeout() { command timeout "$@" 2>>"$WINELOG"; }
# An X server of an earlier run may be gone while its display file stays.
kill -0 "$(cat "$BUILD_DIR/wine/xvfb.pid" 2>/dev/null)" 2>/dev/null || "$ROOT/scripts/xvfb.sh" start
export DISPLAY=$(cat "$BUILD_DIR/wine/display")
[ -d "$WINEPREFIX/drive_c" ] || "$ROOT/scripts/wine-prefix.sh"
wineserver -p 2>/dev/null || true   # one server for every run: no start-up in the figures
# Wine's services start with the first program and inherit its output:
# start them now, detached, or every $(wine ...) would wait for them.
command wine cmd /c exit </dev/null >/dev/null 2>&1
trap 'wineserver -k 2>/dev/null || true' EXIT
DRIVE_C=$WINEPREFIX/drive_c
target=$DRIVE_C/bench/native        # where the native contenders write
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# ---- measuring ---------------------------------------------------------------
now() { date +%s%N; }
ms_since() { echo $(( ($(now) - $1) / 1000000 )); }
record() { printf '%s\t%s\t%s\t%s\t%s\n' "$@" >>"$RESULTS"; }   # set contender round key value

CAN_DROP=0
if [ "$CACHE" = cold ] && sync && echo 3 2>/dev/null >/proc/sys/vm/drop_caches; then CAN_DROP=1; fi
[ "$CACHE" = cold ] && [ $CAN_DROP = 0 ] && { echo "bench: cannot drop the page cache; warming it instead"; CACHE=warm; }
# Every contender starts from the same cache state: dropped, or holding the
# disc, the NSIS installer and the programs.
settle() { # disc folder, installer
  sync
  if [ "$CACHE" = cold ]; then echo 3 >/proc/sys/vm/drop_caches
  else find "$1" "$2" "$BIN" -type f -exec cat {} + >/dev/null; fi
}
fresh() { rm -rf "$1"; sync; }

# ours SET ROUND DISC UNPACK FILES SIZE_MB [KEY]: the copy step behind dialog 107
ours() {
  local set=$1 round=$2 disc=$3 target=$DRIVE_C/bench/ours start out
  fresh "$target"; settle "$disc" "$BENCH/$set.exe"
  start=$(now)
  out=$(timeout 900 wine "$BIN/bench_install.exe" install "$(winpath "$disc")" 'C:\bench\ours' "$4" "$5" "$6")
  record "$set" "${7:-ours}" "$round" wall_ms "$(ms_since "$start")"
  for kv in $out; do record "$set" "${7:-ours}" "$round" "${kv%%=*}" "${kv#*=}"; done
  fresh "$target"
}
# native SET ROUND DISC KEY COMMAND...: a native command writing into $target
native() {
  local set=$1 round=$2 disc=$3 key=$4 start; shift 4
  fresh "$target"; mkdir -p "$target"; settle "$disc" "$BENCH/$set.exe"
  start=$(now)
  "$@"
  record "$set" "$key" "$round" ms "$(ms_since "$start")"
  fresh "$target"
}
# nsis SET ROUND DISC INSTALLER [KEY]: the peer installer, silent
nsis() {
  local set=$1 round=$2 disc=$3 target=$DRIVE_C/bench/nsis start
  fresh "$target"; settle "$disc" "$4"
  start=$(now)
  timeout 900 wine "$4" /S 'https://www.php8.ltd:/HostLocMJJ/https://github.com/D=C:\bench\nsis'
  record "$set" "${5:-nsis}" "$round" ms "$(ms_since "$start")"
  fresh "$target"
}

# ---- payloads ------------------------------------------------------------------
LOOSE="scenario voice se bgv system font movie event"
FILE_LIST="Disc1:scenario\\*.*;voice\\*.*;se\\*.*;bgv\\*.*;system\\*.*;font\\*.*;movie\\*.*;event\\*.*"

marker() { # disc: the disc marker in an archive of its own
  mkdir -p "$BENCH/marker"; : >"$BENCH/marker/BENCH_Disc1.INI"
  "$PAK" create --format 1 --compress "$1/DATA/disc.pak" "$BENCH/marker" >/dev/null
}

nsis_script() { # out-exe then lines of "compress|store DIR OUTDIR"
  local exe=$1; shift
  # A 64-bit machine that runs no 32-bit programs gets NSIS's 64-bit stub.
  { if [ "$WIN_ARCH" = x86_64 ]; then echo "Target amd64-unicode"; else echo "Unicode false"; fi
    echo "OutFile \"$exe\""; echo 'InstallDir "C:\bench\nsis"'
    echo "RequestExecutionLevel user"; echo "SetCompressor zlib"; echo "CRCCheck off"
    echo "Section"
    while [ $# -gt 0 ]; do
      [ "$1" = compress ] && echo "SetCompress force" || echo "SetCompress off"
      echo "SetOutPath \"\$INSTDIR$3\""; echo "File /r \"$2/*\""; shift 3
    done
    echo "SectionEnd"; }
}

make_game() { # size: payload, archives, marker and installers in $BENCH/game-SIZE
  local dir=$BENCH/game-$1
  [ -f "$dir/stamp" ] && return
  echo "bench: making the $1 MiB payload"
  rm -rf "$dir"; mkdir -p "$dir"
  python3 "$ROOT/bench/make-payload.py" game "$dir/disc" "$1" >"$dir/counts"
  mv "$dir/disc/stored" "$dir/stored"; mv "$dir/disc/packed" "$dir/packed"
  "$PAK" create --format 2 --store "$dir/disc/DATA/bgm.pak" "$dir/stored" >/dev/null
  "$PAK" create --format 2 --compress "$dir/disc/DATA/cg.pak" "$dir/packed" >/dev/null
  marker "$dir/disc"
  local args=()
  for f in $LOOSE; do args+=(store "$dir/disc/DATA/$f" "\\$f"); done
  args+=(store "$dir/stored" "" compress "$dir/packed" "")
  nsis_script "$BENCH/game-$1.exe" "${args[@]}" >"$dir/setup.nsi"
  makensis -V1 "$dir/setup.nsi" >/dev/null
  touch "$dir/stamp"
}

make_small() { # count
  local dir=$BENCH/small-$1
  [ -f "$dir/stamp" ] && return
  echo "bench: making $1 small files"
  rm -rf "$dir"; mkdir -p "$dir"
  python3 "$ROOT/bench/make-payload.py" small "$dir/disc" "$1" >"$dir/counts"
  marker "$dir/disc"
  nsis_script "$BENCH/small-$1.exe" store "$dir/disc/DATA/small" "\\small" >"$dir/setup.nsi"
  makensis -V1 "$dir/setup.nsi" >/dev/null
  touch "$dir/stamp"
}

make_empty() {
  [ -f "$BENCH/empty.exe" ] && return
  mkdir -p "$BENCH/empty-src"
  nsis_script "$BENCH/empty.exe" | grep -v '^File' >"$BENCH/empty.nsi"
  makensis -V1 "$BENCH/empty.nsi" >/dev/null
}

mib_of() { echo $(( $(du -sm "$1" | cut -f1) + 1 )); }

# ---- the runs --------------------------------------------------------------------
: >"$RESULTS"
make_empty
echo "bench: cache $CACHE, $ROUNDS rounds, sizes $SIZES, small files $SMALL"
for size in $SIZES; do
  make_game "$size"
  d=$BENCH/game-$size/disc
  mb=$(( $(du -sm --exclude=disc.pak "$d/DATA" | cut -f1) + $(du -sm "$BENCH/game-$size/packed" | cut -f1) + 2 ))
  loose_mb=$(( $(du -sm --exclude='*.pak' "$d/DATA" | cut -f1) + 1 ))
  for round in $(seq "$ROUNDS"); do
    echo "bench: $size MiB, round $round"
    # the order rotates, so no contender always follows the same one
    order=(ours native nsis); shift_by=$(( (round - 1) % 3 ))
    order=("${order[@]:$shift_by}" "${order[@]:0:$shift_by}")
    for c in "${order[@]}"; do
      case $c in
        ours) ours "game-$size" "$round" "$d" "bgm.pak;cg.pak" "$FILE_LIST" "$mb" ;;
        native) native "game-$size" "$round" "$d" native sh -c \
          "cd '$d/DATA' && cp -r $LOOSE '$target/' && '$PAK' extract bgm.pak '$target' && '$PAK' extract cg.pak '$target'" ;;
        nsis) nsis "game-$size" "$round" "$d" "$BENCH/game-$size.exe" ;;
      esac
    done
    nsis "game-$size" "$round" "$d" "$BENCH/empty.exe" nsis-empty
    if [ "$size" = "$SIZE" ]; then   # the phases, on the main size only
      ours "game-$size" "$round" "$d" "bgm.pak" "" "$mb" ours-stored
      native "game-$size" "$round" "$d" native-stored "$PAK" extract "$d/DATA/bgm.pak" "$target"
      ours "game-$size" "$round" "$d" "cg.pak" "" "$mb" ours-packed
      native "game-$size" "$round" "$d" native-packed "$PAK" extract "$d/DATA/cg.pak" "$target"
      ours "game-$size" "$round" "$d" "" "$FILE_LIST" "$loose_mb" ours-loose
      native "game-$size" "$round" "$d" native-loose sh -c "cd '$d/DATA' && cp -r $LOOSE '$target/'"
      settle "$d" "$BENCH/empty.exe"
      out=$(wine "$BIN/bench_install.exe" lookup "$(winpath "$d")" BENCH_Disc1.INI 50)
      for kv in $out; do record "game-$size" lookup "$round" "${kv%%=*}" "${kv#*=}"; done
    fi
  done
done

for count in $SMALL; do
  make_small "$count"
  d=$BENCH/small-$count/disc
  mb=$(mib_of "$d/DATA")
  for round in $(seq "$ROUNDS"); do
    echo "bench: $count small files, round $round"
    ours "small-$count" "$round" "$d" "" "Disc1:small\\*.*" "$mb"
    native "small-$count" "$round" "$d" native sh -c "cp -r '$d/DATA/small' '$target/'"
    nsis "small-$count" "$round" "$d" "$BENCH/small-$count.exe"
    nsis "small-$count" "$round" "$d" "$BENCH/empty.exe" nsis-empty
  done
done

# start-up: the menu of the sample game against the smallest dialog program
sample=$BUILD_DIR/$WIN_SAMPLE/disc1
for round in $(seq 0 "$ROUNDS"); do      # round 0 warms the cache and is not kept
  for c in setup dialog; do
    if [ $c = setup ]; then out=$(wine "$BIN/bench_startup.exe" "$(winpath "$sample/setup.exe")" "$(winpath "$sample")")
    else out=$(wine "$BIN/bench_startup.exe" "$(winpath "$BIN/bench_dialog.exe")" "$(winpath "$BIN")"); fi
    [ "$round" = 0 ] && continue
    for kv in $out; do record startup "$c" "$round" "${kv%%=*}" "${kv#*=}"; done
  done
done

python3 "$ROOT/bench/report.py" "$RESULTS" "$CACHE" "$SIZE"
if [ "$KEEP" = 0 ]; then rm -rf "$BENCH"/game-* "$BENCH"/small-* "$BENCH"/*.exe "$BENCH/marker" "$BENCH/empty-src"; fi
