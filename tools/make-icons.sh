#!/usr/bin/env bash
# Renders the program's icon ui/icons/rukasu2.svg into the PNG sizes that
# ui/rukasu2.qrc lists. Run after changing the SVG; commit the PNGs.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"${top}/tools/ensure-packages.sh" icons
for size in 16 32 48 64 128 256; do
  rsvg-convert -w "${size}" -h "${size}" -o "${top}/ui/icons/rukasu2-${size}.png" "${top}/ui/icons/rukasu2.svg"
done
