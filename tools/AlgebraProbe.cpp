// Reads one formula, simplifies it (or multiplies it out) and prints the
// result in the text syntax.
#include "algebra/AlgebraSwitches.h"
#include "algebra/WholeTreeSimplification.h"
#include "CoreUtilities/MemoryBudget.h"
#include "expression/ExpressionParser.h"
#include "expression/ExpressionWriter.h"
#include "expression/TreeDisposal.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

int Usage() {
  std::fprintf(stderr, "usage: zl_algebra simplify|multiply-out FORMULA\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Usage();
  const bool multiplyOut = std::strcmp(argv[1], "multiply-out") == 0;
  if (!multiplyOut && std::strcmp(argv[1], "simplify") != 0) return Usage();
  ExpressionRecord* tree = ParseExprFromString(argv[2]);
  if (!tree) {
    std::fprintf(stderr, "zl_algebra: cannot read the formula\n");
    return 1;
  }
  {
    ScopedAlgebraSwitch expanding(Math_Multiply_Out, multiplyOut ? 1 : 0);
    SimplifyExpr(tree);
  }
  const std::unique_ptr<char[]> text(ExportTextFormatOfExpr(tree, false));
  DisposExpr(tree);
  if (!text) {
    std::fprintf(stderr, "zl_algebra: out of memory writing the result\n");
    return 1;
  }
  std::printf("%s\n", text.get());
  if (gMathError.load() != 0) {
    std::fprintf(stderr, "zl_algebra: stopped short of stack or memory; the result is partly rewritten\n");
    return 1;
  }
  return 0;
}
