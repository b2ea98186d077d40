#!/usr/bin/env bash
# Writes the formula gallery's golden images (PNG and PDF, 24 pt, no
# wrapping) with the typesetting probe; look at every image before
# committing it.
#   tests/data/matheditor_gallery/make_gallery.sh build/test/tools/zl_typeset
set -euo pipefail
here=$(dirname "$0")
"$1" --gallery "$here/gallery.txt" "$here"
