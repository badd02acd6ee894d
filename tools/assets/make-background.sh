#!/usr/bin/env bash
# Draws the wizard's background picture: 666 x 382, 24-bit BMP, white in the middle where the
# page texts go, the logo and slogan across the top band, orange and dark-red ribbons along the
# right edge and the bottom, two lines of advertising at the bottom left. The top band ends at
# row 127: the acceptance box of the licence page starts at row 130 of the picture.
#   make-background.sh OUTPUT.bmp
set -euo pipefail
out=$1
fonts=/usr/share/fonts/truetype/dejavu
sans="$fonts/DejaVuSans.ttf"
bold="$fonts/DejaVuSans-Bold.ttf"
serif="$fonts/DejaVuSerif-Bold.ttf"
orange='#F28C28'
darkred='#8B1A1A'

convert -size 666x382 xc:white \
  -fill "$orange" -draw "rectangle 632,0 647,381" \
  -fill "$darkred" -draw "rectangle 648,0 665,381" \
  -fill "$orange" -draw "rectangle 0,336 647,347" \
  -fill "$darkred" -draw "rectangle 0,348 665,381" \
  -fill "$darkred" -draw "circle 385,58 385,20" \
  -fill "$orange" -draw "circle 385,58 385,28" \
  -font "$serif" -pointsize 46 -fill white -draw "text 368,75 'M'" \
  -font "$serif" -pointsize 34 -fill "$darkred" -draw "text 432,54 'Morvidan'" \
  -font "$sans" -pointsize 12 -fill '#444444' -draw "text 435,74 'de Sorbiane'" \
  -font "$bold" -pointsize 13 -fill "$orange" -draw "text 380,118 'La facturation en toute sérénité'" \
  -fill "$orange" -draw "rectangle 380,124 620,126" \
  -font "$bold" -pointsize 12 -fill white \
  -draw "text 12,362 'Devis, factures, avoirs et relances en quelques clics.'" \
  -font "$sans" -pointsize 11 -fill white \
  -draw "text 12,376 'Morvidan © Sorbiane : la gestion des artisans, commerçants et PME.'" \
  -type TrueColor -depth 8 "BMP3:$out"
