#!/usr/bin/env bash
# Makes the demo's pictures and music (committed beside this script) with ImageMagick,
# sox and lame from Debian: apt-get install imagemagick sox lame.
#   greeting-music.mp3, sale-jingle.mp3  the templates' music (the template builder embeds it)
#   garden.png, present.jpg, song.mp3    a user's own files for customising the templates
set -euo pipefail
cd "$(dirname "$0")"
convert=/usr/bin/convert  # ImageMagick's, not a stand-in earlier on the PATH

tune() {  # tune OUT.mp3 VOLUME NOTE...: a plucked note every quarter second, 22.05 kHz mono
  local out=$1 volume=$2; shift 2
  local chain=()
  for note in "$@"; do chain+=(synth 0.25 pluck "$note" vol "$volume" :); done
  local wav
  wav=$(mktemp --suffix=.wav)
  sox -V1 -n -r 22050 -c 1 "$wav" "${chain[@]:0:${#chain[@]}-1}"
  lame --quiet -b 32 -m m "$wav" "$out"
  rm -f "$wav"
}
# The user's song is quieter than the templates' music, so a listener (and the player
# check) can tell which one plays.
tune greeting-music.mp3 0.6 C4 E4 G4 C5 G4 E4 C4 G3 C4 E4 G4 C5
tune sale-jingle.mp3 0.6 G4 G4 A4 B4 D5 B4
tune song.mp3 0.25 A3 C4 E4 A4 E4 C4 D4 F4 A4 D5 A4 F4

# Four plain fields and a sun: easy to tell apart from the template's picture, and easy
# for the player check to find again on the stage.
$convert -size 240x180 xc:'#2A9D8F' \
  -fill '#E9C46A' -draw 'rectangle 120,0 239,89' \
  -fill '#E76F51' -draw 'rectangle 0,90 119,179' \
  -fill '#264653' -draw 'rectangle 120,90 239,179' \
  -fill '#FFFFFF' -draw 'circle 120,90 120,60' \
  -strip -depth 8 -define png:exclude-chunks=date,time PNG24:garden.png
$convert -size 128x128 xc:'#3A86FF' \
  -fill '#FFBE0B' -draw 'rectangle 16,40 111,119' \
  -fill '#FB5607' -draw 'rectangle 56,24 71,119' \
  -strip -interlace none -quality 90 present.jpg
