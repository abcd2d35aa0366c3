#!/usr/bin/env bash
# Renders the program's pictures from their SVG sources into the PNG files that are
# compiled into the program, and copies the icon set into packaging/icons/hicolor.
# Needs rsvg-convert (Debian librsvg2-bin). Run from anywhere; the results are committed.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
images="$root/src/shell/images"
hicolor="$root/packaging/icons/hicolor"

command -v rsvg-convert >/dev/null || { echo "rsvg-convert not found (apt-get install librsvg2-bin)" >&2; exit 1; }

render() { # svg width height png
    rsvg-convert --width "$2" --height "$3" --keep-aspect-ratio "$1" --output "$4"
}

for svg in "$images"/toolbar/*.svg; do
    render "$svg" 16 16 "${svg%.svg}.png"
done

# The smallest icon has its own drawing on the pixel grid; the others scale the main one.
render "$images/icon/nimbolt-sketch-16.svg" 16 16 "$images/icon/nimbolt-sketch-16.png"
for size in 32 48 256; do
    render "$images/icon/nimbolt-sketch.svg" "$size" "$size" "$images/icon/nimbolt-sketch-$size.png"
done

render "$images/logo/logo.svg" 136 108 "$images/logo/logo.png"

for size in 16 32 48 256; do
    mkdir -p "$hicolor/${size}x${size}/apps"
    cp "$images/icon/nimbolt-sketch-$size.png" "$hicolor/${size}x${size}/apps/nimbolt-sketch.png"
done
mkdir -p "$hicolor/scalable/apps"
cp "$images/icon/nimbolt-sketch.svg" "$hicolor/scalable/apps/nimbolt-sketch.svg"

echo "Rendered the pictures in $images and the icons in $hicolor"
