#!/usr/bin/env bash
# Draws the image tests' pictures with ImageMagick: 37 x 30 pixels in four
# solid quadrants split at x = 16 and y = 16 (so JPEG blocks stay solid),
# colour or grey, in the depths and formats the loader reads; and the menu
# tests' pictures.
# usage: make-pictures.sh OUT_DIR
set -euo pipefail
OUT=$1
mkdir -p "$OUT"
cd "$OUT"
quadrants() { # top-left top-right bottom-left bottom-right
  echo "-size 16x16 xc:$1 -size 21x16 xc:$2 +append ( -size 16x14 xc:$3 -size 21x14 xc:$4 +append ) -append"
}
# Colours of the web palette, so the 8-bit files need no dithering.
C=$(quadrants 'rgb(204,51,0)' 'rgb(0,153,51)' 'rgb(51,51,204)' 'rgb(255,255,102)')
G=$(quadrants 'gray(0)' 'rgb(85,85,85)' 'rgb(170,170,170)' 'gray(255)')
B=$(quadrants black white white black)
HALF="-alpha set -channel A -evaluate set 50% +channel"   # alpha the loader must drop, not blend

convert $C -type TrueColor BMP3:bmp24.bmp
convert $C -remap netscape: -type Palette -compress None BMP3:bmp8.bmp
convert $C -type Palette -compress None BMP:bmp4-v5.bmp        # 124-byte header, 16 colours
convert $B -type Palette -compress None BMP3:bmp1.bmp
convert $C -remap netscape: -type Palette -compress RLE BMP3:bmp8-rle.bmp
convert $C -define bmp:subtype=RGB565 BMP:bmp565.bmp
convert $C -alpha set -define bmp:format=bmp4 BMP:bmp32.bmp

convert $C PNG24:rgb8.png                                      # with ImageMagick's gAMA 1/2.2
convert $C -strip $HALF PNG32:rgba8.png
convert $C -strip PNG48:rgb16.png
convert $C -strip $HALF PNG64:rgba16.png
convert $C -strip -remap netscape: -define png:color-type=3 -define png:bit-depth=8 PNG:pal8.png
convert $C -strip -define png:color-type=3 -define png:bit-depth=2 PNG:pal2.png
convert $G -strip -define png:color-type=0 -define png:bit-depth=2 PNG:grey2.png
convert $G -strip -define png:color-type=0 -define png:bit-depth=8 PNG:grey8.png
convert $G -strip -define png:color-type=0 -define png:bit-depth=16 PNG:grey16.png
convert $G -strip $HALF -define png:color-type=4 PNG:greya8.png
LINEAR="-set gamma 1.0 -define png:exclude-chunk=cHRM,bKGD,tIME,tEXt,zTXt"        # gAMA 1.0
convert $G $LINEAR -define png:color-type=0 PNG:grey8-linear.png
convert $C $LINEAR -define png:color-type=3 -define png:bit-depth=2 PNG:pal2-linear.png
convert $C -strip -interlace PNG PNG24:interlaced.png
cp rgb8.png png.JPG                                            # found by content, not by name
convert -size 3000x6 gradient:red-blue -strip $HALF PNG64:wide.png

convert $C -strip -quality 92 -sampling-factor 2x2 -interlace none JPEG:base.jpg
convert $C -strip -quality 92 -interlace Plane JPEG:progressive.jpg
convert $G -strip -quality 92 -colorspace Gray JPEG:grey.jpg
convert -seed 1 -size 64x64 xc:gray +noise Random -type TrueColor -strip -quality 90 JPEG:noise.jpg  # big enough to cut

# The menu tests' pictures (tests/app), one colour each: WxH-R,G,B.jpg or .png (RGB).
mkdir -p menu
for p in 300x260-40,80,200.jpg 120x30-220,30,30.jpg 120x30-30,200,30.png 100x26-230,200,20.jpg 100x26-20,180,220.jpg \
         110x28-200,40,200.jpg 110x28-250,140,0.png 120x30-250,250,250.jpg 100x26-250,250,250.jpg 110x28-250,250,250.jpg; do
  rgb=${p#*-}; format=JPEG; [ "${p##*.}" = png ] && format=PNG24
  convert -size "${p%%-*}" "xc:rgb(${rgb%.*})" -strip -quality 95 "$format:menu/$p"
done
touch pictures.stamp
