#!/usr/bin/env bash
# Draws kestrel.ico (16, 32, 48 and 256 pixels): a white "K" on a blue rounded
# square above an orange band, the colours of a portal crane. The icon is kept
# in the tree; run this only to change it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
command -v convert >/dev/null || { echo "make-icon.sh: ImageMagick convert is missing" >&2; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

convert -size 256x256 xc:none \
    -fill '#1d4f91' -draw 'roundrectangle 8,8 247,247 36,36' \
    -fill '#f39c12' -draw 'rectangle 8,200 247,224' \
    -fill '#f39c12' -draw 'roundrectangle 8,200 247,247 36,36' \
    -fill '#1d4f91' -draw 'rectangle 8,180 247,200' \
    -font DejaVu-Sans-Bold -pointsize 200 -fill white \
    -gravity north -annotate +4+4 'K' \
    -depth 8 "PNG32:$tmp/kestrel-256.png"
# Small sizes get their own resample so the letter stays sharp.
for s in 48 32 16; do
    convert "$tmp/kestrel-256.png" -filter Lanczos -resize "${s}x${s}" -depth 8 "PNG32:$tmp/kestrel-$s.png"
done
convert "$tmp/kestrel-16.png" "$tmp/kestrel-32.png" "$tmp/kestrel-48.png" "$tmp/kestrel-256.png" \
    -depth 8 "$here/kestrel.ico"
echo "wrote $here/kestrel.ico"
