#!/usr/bin/env bash
# Formats every tracked C++ file by .clang-format, in place; with --check,
# changes nothing and fails, naming file and line, where a file differs.
# The whole tree is checked, not a diff, so a fresh or shallow clone checks
# the same as a working one. Other clang-format versions format a little
# differently: the tree is kept by the version Debian's `clang-format` gives.
# Usage: tools/format.sh [--check]
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = --check ]; then
  git ls-files -z '*.h' '*.cpp' | xargs -0 -n 100 -P "$(nproc)" clang-format --dry-run -Werror --ferror-limit=1
else
  git ls-files -z '*.h' '*.cpp' | xargs -0 clang-format -i
fi
