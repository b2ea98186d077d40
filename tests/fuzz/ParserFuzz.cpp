// Any text either fails to parse or gives a tree whose written form, with
// or without grouping brackets, parses again.
#include "CoreUtilities/files/ErrorQueue.h"
#include "tests/expression/ParserTestSupport.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

using Text = std::unique_ptr<char[]>;

void Require(bool promise) {
  if (!promise) __builtin_trap();
}

// Null text means the writer ran out of memory or stack, which it may.
void CheckWrittenFormReadsBack(const ExpressionRecord* tree, bool brackets) {
  const Text text(ExportTextFormatOfExpr(tree, brackets));
  if (!text) return;
  const Tree back = Parse(text.get());
  Require(back != nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > INT32_MAX) return -1;
  const Tree tree = Parse(std::string(reinterpret_cast<const char*>(data), size));
  if (tree) {
    CheckWrittenFormReadsBack(tree.get(), false);
    CheckWrittenFormReadsBack(tree.get(), true);
  }
  ResetDeferredErrors();
  return 0;
}
