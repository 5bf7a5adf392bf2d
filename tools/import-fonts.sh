#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copies the free fonts the game carries from Debian's packages into resources/fonts, with
# their licences, so that text looks the same on every machine.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out="$top/resources/fonts"
mkdir -p "$out"
cp /usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf \
   /usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf \
   /usr/share/fonts/truetype/andika/Andika-Regular.ttf "$out/"
cp /usr/share/doc/fonts-liberation2/copyright "$out/LiberationSans.copyright"
cp /usr/share/doc/fonts-sil-andika/copyright "$out/Andika.copyright"
echo "fonts copied to $out"
