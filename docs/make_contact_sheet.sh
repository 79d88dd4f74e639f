#!/usr/bin/env bash
# Renders every shipped setting and puts the pictures where the README and a reviewer find them:
#
#   docs/contact_sheet.png    one still per setting, labelled with its number and name
#   docs/shots/*.png          a few larger stills for the README
#   docs/shots/*.gif          a few short animations
#
# Every still is also kept full size in build/contact/ (not committed) for a closer look.
# Needs build/bin/nimbrel-render (./dev build) and ImageMagick's montage.
#
#   docs/make_contact_sheet.sh [--stills-only]
#
# NIMBREL_RENDER overrides the renderer; NIMBREL_CONTACT_FRAMES the frame each still shows.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
RENDER=${NIMBREL_RENDER:-$ROOT/build/bin/nimbrel-render}
SETTINGS=$ROOT/data/Nimbrel_32_Settings.txt
PALETTES=$ROOT/data/Palette
WORK=$ROOT/build/contact
FRAMES=${NIMBREL_CONTACT_FRAMES:-240}
SEED=7

# The README's pictures: name of the setting, then the file name they get.
SHOWCASE=("Triangle Tunnel" "Plasma Spiral" "Deep Bloom" "Kaleidoscope" "Breathing Hexagons"
    "Shape Shifter")
ANIMATED=("Triangle Tunnel" "Breathing Hexagons" "Star Field")

[[ -x $RENDER ]] || {
    echo "no renderer at $RENDER: run ./dev build first" >&2
    exit 1
}
command -v montage >/dev/null || {
    echo "ImageMagick's montage is missing (apt-get install imagemagick)" >&2
    exit 1
}

slug() { tr 'A-Z ' 'a-z_' <<<"$1" | tr -cd 'a-z0-9_'; }

render_still() { # SETTING SIZE OUT
    "$RENDER" --settings "$SETTINGS" --setting "$1" --palettes "$PALETTES" --size "$2" \
        --frames "$FRAMES" --every "$FRAMES" --seed "$SEED" --png "$3.%d.png"
    mv "$3.$FRAMES.png" "$3"
}

mkdir -p "$WORK" "$ROOT/docs/shots"
rm -f "$WORK"/*.png "$ROOT"/docs/shots/*

mapfile -t NAMES < <("$ROOT/build/bin/nimbrel-settings" list "$SETTINGS" | sed -E "s/^[0-9]+ . //")
echo "rendering ${#NAMES[@]} settings, frame $FRAMES of each"
tiles=()
for i in "${!NAMES[@]}"; do
    still=$(printf '%s/%02d.png' "$WORK" "$i")
    render_still "$i" 480x360 "$still"
    tiles+=(-label "$i  ${NAMES[$i]}" "$still")
done

montage -background '#202020' -fill '#e0e0e0' -font DejaVu-Sans -pointsize 13 \
    -geometry 240x180+4+4 -tile 6x "${tiles[@]}" -depth 8 +dither -colors 256 -strip \
    "PNG8:$ROOT/docs/contact_sheet.png"

for name in "${SHOWCASE[@]}"; do
    render_still "$name" 480x360 "$ROOT/docs/shots/$(slug "$name").png"
done

if [[ ${1:-} != --stills-only ]]; then
    for name in "${ANIMATED[@]}"; do
        "$RENDER" --settings "$SETTINGS" --setting "$name" --palettes "$PALETTES" \
            --size 200x150 --frames 120 --every 2 --seed "$SEED" \
            --gif "$ROOT/docs/shots/$(slug "$name").gif"
    done
fi
du -ch "$ROOT/docs/contact_sheet.png" "$ROOT"/docs/shots/* | tail -1
