#!/usr/bin/env bash
# Writes the formula gallery's golden images with the typesetting probe
# (24 pt, no wrapping); look at every image before committing it.
#   tests/data/matheditor_gallery/make_gallery.sh build/test/tools/zl_typeset
set -euo pipefail
probe=$1
here=$(dirname "$0")
while IFS=$'\t' read -r name formula; do
  "$probe" "$formula" --png "$here/$name.png"
done < "$here/gallery.txt"
