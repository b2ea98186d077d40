// Any text either fails to parse or gives a tree whose written form, with
// or without grouping brackets, parses again.
#include "CoreUtilities/ErrorQueue.h"
#include "expression/ExpressionParser.h"
#include "expression/ExpressionWriter.h"
#include "expression/TreeDisposal.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

struct TreeDeleter {
  void operator()(ExpressionRecord* tree) const { DisposExpr(tree); }
};
using Tree = std::unique_ptr<ExpressionRecord, TreeDeleter>;
using Text = std::unique_ptr<char[]>;

Tree Parse(const char* text, size_t length) { return Tree(CoreParseExpr(text, static_cast<int32_t>(length))); }

void Require(bool promise) {
  if (!promise) __builtin_trap();
}

// Null text means the writer ran out of memory or stack, which it may.
void CheckWrittenFormReadsBack(const ExpressionRecord* tree, bool brackets) {
  const Text text(ExportTextFormatOfExpr(tree, brackets));
  if (!text) return;
  const Tree back = Parse(text.get(), std::strlen(text.get()));
  Require(back != nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > INT32_MAX) return -1;
  const Tree tree = Parse(reinterpret_cast<const char*>(data), size);
  if (tree) {
    CheckWrittenFormReadsBack(tree.get(), false);
    CheckWrittenFormReadsBack(tree.get(), true);
  }
  ResetDeferredErrors();
  return 0;
}
