#!/usr/bin/env bash
# Draws the splash bitmaps, the icons and the I-beam cursor with ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
bold=/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf
plain=/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf

# Sets PENCIL to the drawing of a pencil at ANGLE degrees, tip at (X, Y), LENGTH long, WIDTH wide.
pencil() {  # pencil X Y ANGLE LENGTH WIDTH
  local at="translate $1,$2 rotate $3" l=$4 w=$5 h=$(($5 / 2)) c=$(($5 * 3 / 2))
  PENCIL=(-stroke none
    -fill '#f7dfb0' -draw "$at polygon 0,0 -$h,-$c $h,-$c"
    -fill '#3a3a3a' -draw "$at polygon 0,0 -$((h / 3)),-$((c / 3)) $((h / 3)),-$((c / 3))"
    -fill '#f2b632' -draw "$at rectangle -$h,-$((l - w)) $h,-$c"
    -fill '#d99a1e' -draw "$at rectangle $((h / 3)),-$((l - w)) $h,-$c"
    -fill '#b8bcc4' -draw "$at rectangle -$h,-$((l - w / 3)) $h,-$((l - w))"
    -fill '#e58a9a' -draw "$at roundrectangle -$h,-$l $h,-$((l - w / 3)) 3,3")
}

# Quizloom: a sheet of numbered questions and a pencil on a deep blue ground.
pencil 128 178 25 140 16
convert -size 400x250 gradient:'#1d3f7a'-'#2f6db5' \
  -fill '#00000033' -stroke none -draw "roundrectangle 45,45 155,205 6,6" \
  -fill white -draw "roundrectangle 40,40 150,200 6,6" \
  -fill '#1d3f7a' -font "$bold" -pointsize 13 \
  -annotate +52+75 '1.' -annotate +52+105 '2.' -annotate +52+135 '3.' -annotate +52+165 '4.' \
  -stroke '#8aa4cc' -strokewidth 2 \
  -draw "line 70,71 136,71" -draw "line 70,101 130,101" -draw "line 70,131 136,131" \
  -draw "line 70,161 112,161" \
  "${PENCIL[@]}" \
  -fill white -font "$bold" -pointsize 40 -annotate +200+132 'Quizloom' \
  -fill '#dbe5f4' -font "$plain" -pointsize 17 -annotate +202+162 'Write a test' \
  -type TrueColor BMP3:bitmaps/Bitmap_1.bmp

# Quizdesk: an answer sheet with a red check mark on a desk, on a green ground.
convert -size 400x250 gradient:'#1f6b45'-'#2f9a63' \
  -fill '#8a5a32' -stroke none -draw "rectangle 0,212 400,250" \
  -fill '#a8713f' -draw "rectangle 0,206 400,214" \
  -fill '#00000033' -draw "polygon 48,38 158,32 166,200 56,206" \
  -fill white -draw "polygon 42,34 152,28 160,196 50,202" \
  -stroke '#2f9a63' -strokewidth 2 -fill none \
  -draw "rectangle 58,58 68,68" -draw "rectangle 59,88 69,98" -draw "rectangle 60,118 70,128" \
  -stroke '#86b89b' -draw "line 76,63 140,60" -draw "line 77,93 141,90" \
  -draw "line 78,123 128,121" \
  -stroke '#e0403a' -strokewidth 10 -draw "line 92,160 112,184" -draw "line 112,184 160,118" \
  -stroke none -fill white -font "$bold" -pointsize 40 -annotate +198+118 'Quizdesk' \
  -fill '#dcefe3' -font "$plain" -pointsize 17 -annotate +201+148 'Take a test' \
  -type TrueColor BMP3:bitmaps/Bitmap_2.bmp

# Icons are drawn on a 64-pixel grid at 256 pixels, the largest size a desktop shows; the
# build scales them down to the smaller sizes.
icon() {  # icon NAME GROUND MOTIF...
  local name=$1 ground=$2 motif=() previous=""; shift 2
  for argument in "$@"; do
    [ "$previous" = -draw ] && argument="scale 4,4 $argument"
    motif+=("$argument") previous=$argument
  done
  convert -size 256x256 xc:none -fill "$ground" -draw "scale 4,4 roundrectangle 2,2 61,61 12,12" \
    -fill white -draw "scale 4,4 roundrectangle 12,8 44,56 3,3" "${motif[@]}" \
    -define png:exclude-chunks=date,time PNG32:icons/"$name".png
}
# ICON_2, Quizloom: a sheet of questions and a pencil.
pencil 40 55 25 42 10
icon ICON_2 '#2f6db5' -stroke '#8aa4cc' -strokewidth 4 -draw "line 18,19 38,19" \
  -draw "line 18,30 38,30" -draw "line 18,41 31,41" "${PENCIL[@]}"
# ICON_1, Quizdesk: an answer sheet with a red check mark.
icon ICON_1 '#2f9a63' -stroke '#86b89b' -strokewidth 4 -draw "line 18,17 38,17" \
  -stroke '#e0403a' -strokewidth 7 -draw "line 18,36 26,46" -draw "line 26,46 42,24"

# Cursor 1: a 32 x 32 I-beam, white-edged so it shows on any ground; hot spot (16, 16).
convert -size 32x32 xc:none -stroke white -strokewidth 3 \
  -draw "line 16,6 16,26" -draw "line 11,5 21,5" -draw "line 11,27 21,27" \
  -stroke black -strokewidth 1 -draw "line 16,6 16,26" -draw "line 12,5 20,5" \
  -draw "line 12,27 20,27" PNG32:cursors/1.png
