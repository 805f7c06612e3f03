#!/usr/bin/env bash
# Draws the splash bitmaps, the icons and the I-beam cursor with ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
bold=/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf
plain=/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf

# Quizloom: a question sheet and a pencil on a deep blue ground.
convert -size 400x250 gradient:'#1d3f7a'-'#2f6db5' \
  -fill white -stroke '#c9d6ea' -draw "roundrectangle 40,40 150,200 6,6" \
  -stroke '#8aa4cc' -strokewidth 2 \
  -draw "line 55,70 135,70" -draw "line 55,95 135,95" -draw "line 55,120 120,120" \
  -draw "line 55,145 135,145" -draw "line 55,170 110,170" \
  -stroke none -fill '#f2b632' -draw "polygon 150,185 165,200 215,80 200,65" \
  -fill '#f7dfb0' -draw "polygon 150,185 165,200 146,206" \
  -fill white -font "$bold" -pointsize 38 -annotate +205+130 'Quizloom' \
  -font "$plain" -pointsize 16 -annotate +208+160 'Write a test' \
  -type TrueColor BMP3:bitmaps/Bitmap_1.bmp

# Quizdesk: an answer sheet with a check mark on a green ground.
convert -size 400x250 gradient:'#1f6b45'-'#2f9a63' \
  -fill white -stroke '#cfe6d8' -draw "roundrectangle 40,40 150,200 6,6" \
  -stroke '#86b89b' -strokewidth 2 \
  -draw "line 55,75 135,75" -draw "line 55,105 135,105" -draw "line 55,135 135,135" \
  -stroke "#e0403a" -strokewidth 9 -draw "line 70,160 92,185" -draw "line 92,185 135,128" \
  -stroke none -fill white -font "$bold" -pointsize 38 -annotate +200+130 'Quizdesk' \
  -font "$plain" -pointsize 16 -annotate +203+160 'Take a test' \
  -type TrueColor BMP3:bitmaps/Bitmap_2.bmp

icon() {  # icon NAME GROUND MOTIF...
  local name=$1 ground=$2; shift 2
  convert -size 64x64 xc:none -fill "$ground" -draw "roundrectangle 2,2 61,61 10,10" \
    -fill white -draw "rectangle 14,10 44,54" "$@" icons/"$name".png
}
# ICON_2, Quizloom: a sheet with lines and a pencil.
icon ICON_2 '#2f6db5' -stroke '#8aa4cc' -strokewidth 3 -draw "line 19,20 39,20" \
  -draw "line 19,30 39,30" -draw "line 19,40 33,40" -stroke none -fill '#f2b632' \
  -draw "polygon 40,52 46,58 60,24 54,18"
# ICON_1, Quizdesk: a sheet with a red check mark.
icon ICON_1 '#2f9a63' -stroke "#e0403a" -strokewidth 6 \
  -draw "line 19,33 27,43" -draw "line 27,43 41,22"

# Cursor 1: a 32 x 32 I-beam, hot spot in the middle.
convert -size 32x32 xc:none -stroke white -strokewidth 3 \
  -draw "line 16,6 16,26" -draw "line 11,5 21,5" -draw "line 11,27 21,27" \
  -stroke black -strokewidth 1 -draw "line 16,6 16,26" -draw "line 12,5 20,5" \
  -draw "line 12,27 20,27" cursors/1.png
