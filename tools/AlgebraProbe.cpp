// Reads one formula and simplifies it, multiplies it out, or runs an
// algebra command code on a selection in it; prints the result in the text
// syntax (and, for a command, the selection after).
#include "algebra/AlgebraCommands.h"
#include "algebra/AlgebraStartup.h"
#include "algebra/AlgebraSwitches.h"
#include "algebra/WholeTreeSimplification.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "expression/ExpressionParser.h"
#include "expression/ExpressionWriter.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeWalking.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: zl_algebra simplify|multiply-out FORMULA\n"
               "       zl_algebra command CODE [--select TEXT] [--range i..j|--block s..e] FORMULA\n");
  return 2;
}

std::string Written(const ExpressionRecord* tree) {
  const std::unique_ptr<char[]> text(ExportTextFormatOfExpr(tree, false));
  return text ? std::string(text.get()) : std::string();
}

bool ReadInt(const char* text, const char* end, int32_t* value) {
  const int base = (end - text > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) ? 16 : 10;
  if (base == 16) text += 2;
  const auto [stop, error] = std::from_chars(text, end, *value, base);
  return error == std::errc() && stop == end;
}

bool ReadPair(const char* text, int32_t* first, int32_t* second) {
  const char* dots = std::strstr(text, "..");
  return dots && ReadInt(text, dots, first) && ReadInt(dots + 2, text + std::strlen(text), second);
}

// The first node, in pre-order, written as the text.
ExpressionRecord* FindWritten(ExpressionRecord* root, const char* text) {
  for (ExpressionRecord* n = root; n; n = NextTopDownWithin(n, root))
    if (Written(n) == text) return n;
  return nullptr;
}

int Report(ExpressionRecord* tree) {
  const std::string text = Written(tree);
  if (text.empty()) {
    std::fprintf(stderr, "zl_algebra: out of memory writing the result\n");
    return 1;
  }
  std::printf("%s\n", text.c_str());
  if (gMathError.load() != 0) {
    std::fprintf(stderr, "zl_algebra: stopped short of stack or memory; the result is partly rewritten\n");
    return 1;
  }
  return 0;
}

int RunCommand(int argc, char** argv) {
  int32_t code = 0;
  if (!ReadInt(argv[2], argv[2] + std::strlen(argv[2]), &code)) return Usage();
  const char* select = nullptr;
  MERecord record{};
  for (int i = 3; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--select") == 0) {
      select = argv[i + 1];
    } else if (std::strcmp(argv[i], "--range") == 0 || std::strcmp(argv[i], "--block") == 0) {
      if (!ReadPair(argv[i + 1], &record.rangeStart, &record.rangeEnd)) return Usage();
      record.caretType = argv[i][2] == 'r' ? kIPOperandRange : kIPMatrixBlock;
    } else {
      return Usage();
    }
  }
  if (argc % 2 != 0) return Usage();
  record.root = ParseExprFromString(argv[argc - 1]);
  if (!record.root) {
    std::fprintf(stderr, "zl_algebra: cannot read the formula\n");
    return 1;
  }
  record.selected = select ? FindWritten(record.root, select) : record.root;
  if (!record.selected) {
    std::fprintf(stderr, "zl_algebra: no part of the formula is written %s\n", select);
    DisposExpr(record.root);
    return 1;
  }
  RunAlgebraCommand(&record, code);
  const int status = Report(record.root);
  if (status == 0) std::printf("selected: %s (caret type %d)\n", Written(record.selected).c_str(), record.caretType);
  DisposExpr(record.root);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  InstallAlgebra();
  if (argc >= 4 && std::strcmp(argv[1], "command") == 0) return RunCommand(argc, argv);
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
  const int status = Report(tree);
  DisposExpr(tree);
  return status;
}
