#!/usr/bin/env bash
# make-discs.sh OUT PAK SETUP GAME UNINST
# Lays out the sample game's two discs in OUT/disc1 and OUT/disc2 from the
# sources beside this script: Shift-JIS settings, menu pictures drawn with
# ImageMagick, archives made with the pak tool (PAK, the Linux build, with
# disccheck beside it), loose data, disc markers. What each disc holds is
# made in OUT/work; scripts/make-disc.sh lays the discs out from there with
# SETUP and checks them.
set -euo pipefail
SRC=$(cd "$(dirname "$0")" && pwd)
OUT=$1 PAK=$2 SETUP=$3 GAME=$4 UNINST=$5
NAME=HOSHIZORA
# a font file rather than a font name: ImageMagick resolves names differently per locale
FONT=${SAMPLE_FONT:-/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf}
WORK=$OUT/work
D1=$WORK/disc1 D2=$WORK/disc2

rm -rf "$OUT/disc1" "$OUT/disc2" "$WORK"
mkdir -p "$D1/Data" "$D2/Data" "$D1/directX" "$WORK"

# UTF-8 text in the repo, Shift-JIS with CR LF on the disc.
sjis() { iconv -f UTF-8 -t CP932 "$1" | sed 's/$/\r/' >"$2"; }

# noise FILE KIB SEED: deterministic bytes that do not compress.
noise() {
  perl -e 'srand($ARGV[1]); binmode STDOUT;
           print pack("C*", map { int rand 256 } 1..1024) for 1..$ARGV[0]' "$2" "$3" >"$1"
}
# filler FILE KIB SEED: deterministic bulk data for the loose files, quickly.
filler() {
  perl -e 'srand($ARGV[1]); my $b = pack("C*", map { int rand 256 } 1..4096);
           binmode STDOUT; print $b ^ pack("N", $_) x 1024 for 1..$ARGV[0] / 4' "$2" "$3" >"$1"
}

# ---- menu pictures (480 x 320 background, 170 x 26 buttons) ----
# JPEG files as the menu reads them: baseline JFIF, nothing but the picture.
jpeg() { convert "$@" -strip -interlace none -sampling-factor 2x2 -quality 90 "JPEG:$last"; }

background() {
  local stars=()
  for xy in 40,30 95,70 150,20 230,55 300,25 350,90 420,40 455,110 380,140 270,120 \
            200,100 120,125 60,100 440,190 330,200 400,260 460,290 250,180; do
    stars+=(-draw "circle ${xy} $(( ${xy%,*} + 1 )),${xy#*,}")
  done
  last=$1
  jpeg -size 480x320 gradient:'#0b1033'-'#5a3a7a' -fill '#fff8d0' "${stars[@]}" \
       -fill '#ffffff' -draw 'circle 250,180 251,181' \
       -font "$FONT" -pointsize 44 -fill '#00000080' -annotate +222+92 '星空の約束' \
       -fill '#fff4c8' -annotate +218+88 '星空の約束' \
       -pointsize 14 -fill '#d8d0ff' -annotate +300+118 'HOSHIZORA NO YAKUSOKU' \
       -pointsize 12 -fill '#b0a8e0' -annotate +334+308 'Ver.1.00  SAMPLESOFT'
}

# button FILE LABEL TOP BOTTOM TEXTCOLOUR [FORMAT]
button() {
  local file=$1 label=$2 top=$3 bottom=$4 colour=$5 format=${6:-JPEG}
  local args=(-size 170x26 gradient:"$top"-"$bottom" -fill none -stroke '#e8e0ff'
              -draw 'roundrectangle 0,0 169,25 6,6' -stroke none
              -font "$FONT" -pointsize 15 -fill "$colour" -gravity center -annotate +0+1 "$label")
  if [ "$format" = PNG ]; then
    convert "${args[@]}" -strip "PNG24:$file"    # a PNG under a .JPG name: found by content
  else
    last=$file; jpeg "${args[@]}"
  fi
}

pictures() { # DIR
  background "$1/install_back.JPG"
  for b in install:INSTALL start:GAME uninstall:UNINSTALL; do
    button "$1/${b%%:*}_btn01.JPG" "${b#*:}" '#8e86d8' '#3c347c' '#ffffff'
    button "$1/${b%%:*}_btn02.JPG" "${b#*:}" '#2a2460' '#6a62b8' '#ffe890' \
           "$([ "${b%%:*}" = install ] && echo PNG || echo JPEG)"
  done
}

# ---- disc 1: the settings and pictures, the archives, voices, the manual ----
sjis "$SRC/install.ini.in" "$D1/install.ini"
pictures "$D1"
cp "$SRC/directx/readme.txt" "$D1/directX/readme.txt"

# game.pak (version 2, the default --auto: the programs and scripts packed,
# the title data stored)
mkdir -p "$WORK/game/script" "$WORK/game/cg"
cp "$GAME" "$WORK/game/Game.exe"
cp "$UNINST" "$WORK/game/Uninst.exe"
sjis "$SRC/game.ini.in" "$WORK/game/game.ini"
for f in "$SRC"/content/script/*.txt; do sjis "$f" "$WORK/game/script/$(basename "$f")"; done
noise "$WORK/game/cg/title.bin" 96 11
"$PAK" create --format 2 "$D1/Data/game.pak" "$WORK/game" >/dev/null

# cg.pak (version 1, --auto): the mask stored, the pictures and their list packed
mkdir -p "$WORK/cg/cg"
for i in 1 2 3; do
  last=$WORK/cg/cg/ev0$i.jpg
  jpeg -size 320x240 plasma:'#203070'-'#c090e0' -seed $i -font "$FONT" -pointsize 28 \
       -fill white -gravity center -annotate +0+0 "イベントCG $i"
done
noise "$WORK/cg/cg/mask.bin" 32 12
printf 'ev01.jpg\r\nev02.jpg\r\nev03.jpg\r\n%.0s' 1 2 3 4 5 6 7 8 >"$WORK/cg/cg/list.txt"
"$PAK" create --format 1 "$D1/Data/cg.pak" "$WORK/cg" >/dev/null

# sound.pak (version 0: every entry stored)
mkdir -p "$WORK/sound/se"
for i in 1 2 3 4; do noise "$WORK/sound/se/se0$i.dat" 64 $((20 + i)); done
"$PAK" create --format 0 "$D1/Data/sound.pak" "$WORK/sound" >/dev/null

# voices: a loose folder with subfolders, copied file by file
for ch in 1 2; do
  mkdir -p "$D1/Data/Voice/ch0$ch"
  for i in 1 2 3 4 5 6; do filler "$D1/Data/Voice/ch0$ch/v000$i.dat" 1024 $((100 * ch + i)); done
done
sjis "$SRC/content/Manual.txt" "$D1/Data/Manual.txt"

# ---- disc 2: music and movies (make-disc.sh adds the settings and pictures) ----
mkdir -p "$D2/Data/Bgm/arrange" "$D2/Data/Movie"
for i in 1 2 3 4; do filler "$D2/Data/Bgm/bgm0$i.dat" 1024 $((300 + i)); done
filler "$D2/Data/Bgm/arrange/bgm01_piano.dat" 512 311
filler "$D2/Data/Movie/opening.dat" 3072 401
filler "$D2/Data/Movie/ending.dat" 2048 402

# ---- the disc markers "<Name>_<label>.INI", in an archive in each data folder ----
for disc in 1 2; do
  mkdir -p "$WORK/marker$disc"
  sjis "$SRC/content/disc/DISC$disc.txt" "$WORK/marker$disc/${NAME}_DISC$disc.INI"
done
"$PAK" create --format 1 --compress "$D1/Data/disc1.pak" "$WORK/marker1" >/dev/null
"$PAK" create --format 0 "$D2/Data/disc2.pak" "$WORK/marker2" >/dev/null

SETUP=$SETUP DISCCHECK=$(dirname "$PAK")/disccheck "$SRC/../scripts/make-disc.sh" "$OUT" "$D1" "$D2"
# the volume labels of the discs when mapped as drives under Wine
printf 'DISC1\n' >"$OUT/disc1/.windows-label"
printf 'DISC2\n' >"$OUT/disc2/.windows-label"
rm -rf "$WORK"
