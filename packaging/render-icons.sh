#!/usr/bin/env bash
# Renders data/icons/zoredev.svg into the PNG sizes the windows and the hicolor
# theme use. The PNGs are committed, so only a change of the picture needs this.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
icons="$root/data/icons"
sizes=(16 32 48 64 128 256)

# shellcheck source=packaging/apt-packages.sh
source "$root/packaging/apt-packages.sh"
ensure_packages librsvg2-bin

for size in "${sizes[@]}"; do
    rsvg-convert --width "$size" --height "$size" --keep-aspect-ratio \
        --output "$icons/zoredev-$size.png" "$icons/zoredev.svg"
    echo "$icons/zoredev-$size.png"
done
