#!/usr/bin/env bash
# tools/check_layers.sh on small planted trees: an include up the order
# fails with its file and line, and so does one of the renderer's above
# evaluation, one of a room above the includer's own in its layer, and one of
# the native code's room from outside the few that may; includes down the
# order, within a layer or of folders that are no layer pass.
set -euo pipefail
check="$(cd "$(dirname "$0")/../.." && pwd)/tools/check_layers.sh"
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
fail() { echo "check_layers_test: $*" >&2; exit 1; }

mkdir -p "$tree"/{platform,CoreUtilities,expression,evaluation,algebra,shaders,renderer,document,app}
mkdir -p "$tree"/evaluation/{special,interval,complex,runs,native,grid}
printf '#include "platform/Port.h"\n#include "CoreUtilities/Budget.h"\n' >"$tree/expression/Tree.cpp"
printf '#include "evaluation/Own.h"\n#include "Grammar.hpp"\n#include "tests/x/Help.h"\n' >"$tree/evaluation/Own.cpp"
printf '#include <vector>\n#include "evaluation/Own.h"\n' >"$tree/document/Reader.h"
printf '#include "document/Reader.h"\n' >"$tree/app/Start.cpp"
printf '#include "algebra/Simplify.h"\n#include "expression/Tree.h"\n' >"$tree/shaders/Program.cpp"
printf '#include "evaluation/Own.h"\n#include "renderer/Frame.h"\n' >"$tree/renderer/Frame.cpp"
printf '#include "evaluation/special/Gamma.h"\n#include "evaluation/Own.h"\n' >"$tree/evaluation/interval/Box.cpp"
printf '#include "evaluation/interval/Box.h"\n#include "evaluation/grid/Rows.h"\n' >"$tree/evaluation/complex/Plane.h"
printf '#include "evaluation/native/Code.h"\n#include "evaluation/complex/Plane.h"\n' >"$tree/evaluation/runs/Run.h"
printf '#include "evaluation/runs/Run.h"\n' >"$tree/evaluation/native/Code.cpp"
printf '#include "evaluation/native/Code.h"\n' >"$tree/evaluation/StackMachine.cpp"
printf '#include "evaluation/runs/Run.h"\n' >"$tree/evaluation/grid/Rows.cpp"

"$check" "$tree" 2>"$tree/log" || fail "a tree without upward includes was refused: $(cat "$tree/log")"

printf '// the statements\n#  include "document/Reader.h"\n' >>"$tree/expression/Tree.cpp"
printf '%%{\n#include "evaluation/Own.h"\n%%}\n' >"$tree/expression/Lexer.l"
printf '#include "CoreUtilities/Budget.h"\n' >"$tree/platform/Port.cpp"
printf '#include "shaders/Program.h"\n#include "algebra/Simplify.h"\n' >>"$tree/renderer/Frame.cpp"
printf '#include "evaluation/interval/Box.h"\n' >"$tree/evaluation/special/Gamma.cpp"
printf '#include "evaluation/native/Code.h"\n' >>"$tree/evaluation/grid/Rows.cpp"
printf '#include "evaluation/native/Code.h"\n' >"$tree/document/Run.cpp"
if "$check" "$tree" 2>"$tree/log"; then fail "planted upward includes passed"; fi
grep -q '^expression/Tree.cpp:4: ' "$tree/log" || fail "no file:line for the tree's include: $(cat "$tree/log")"
grep -q '^expression/Lexer.l:2: ' "$tree/log" || fail "the lexer's include was missed: $(cat "$tree/log")"
grep -q '^platform/Port.cpp:1: ' "$tree/log" || fail "the platform's include was missed: $(cat "$tree/log")"
grep -q '^renderer/Frame.cpp:3: ' "$tree/log" || fail "the renderer's use of the compiler was missed: $(cat "$tree/log")"
grep -q '^renderer/Frame.cpp:4: ' "$tree/log" || fail "the renderer's use of the algebra was missed: $(cat "$tree/log")"
grep -q '^evaluation/special/Gamma.cpp:1: ' "$tree/log" || fail "a room's include of a higher room was missed: $(cat "$tree/log")"
grep -q '^evaluation/grid/Rows.cpp:2: ' "$tree/log" || fail "the grid's use of the native code was missed: $(cat "$tree/log")"
grep -q '^document/Run.cpp:1: ' "$tree/log" || fail "another layer's use of the native code was missed: $(cat "$tree/log")"
[ "$(wc -l <"$tree/log")" -eq 8 ] || fail "more than the planted includes reported: $(cat "$tree/log")"
echo "check_layers_test: passed"
