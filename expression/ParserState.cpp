#include "expression/ParserState.h"

#include "CoreUtilities/memory/ListGrowth.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "expression/LexerState.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeWalking.h"

#include <algorithm>

ParserNodeList gParserNodeStack = {nullptr, 0, 0};
ExpressionRecord* gParsedExpr = nullptr;

ExpressionRecord* yyAdd(ExpressionRecord* node) {
  ParserNodeList& list = gParserNodeStack;
  if (list.count == list.capacity) {
    const int32_t capacity = NextListCapacity(list.capacity);
    auto* items =
        capacity == 0
            ? nullptr
            : static_cast<ExpressionRecord**>(OurAllocateMemory(size_t(capacity) * sizeof(ExpressionRecord*), false));
    if (!items) return node;
    std::copy(list.items, list.items + list.count, items);
    OurDisposeMemory(list.items);
    list.items = items;
    list.capacity = capacity;
  }
  list.items[list.count++] = node;
  return node;
}

void yyForget() {
  OurDisposeMemory(gParserNodeStack.items);
  gParserNodeStack = {nullptr, 0, 0};
}

ParserMessage gParserMessage;

void yyerror(const char* message) {
  if (gParserMessage.text.empty() && message && *message) gParserMessage = {message, LEX_scanned};
  DisposExpr(gParsedExpr);
  gParsedExpr = nullptr;
  for (int32_t i = 0; i < gParserNodeStack.count; ++i) DisposeNode(gParserNodeStack.items[i]);
  yyForget();
}

void yyForgetFreedNodes(ExpressionRecord** before, int32_t beforeCount, ExpressionRecord* tree) {
  // Pointers only are compared: a freed node is never read.
  std::sort(before, before + beforeCount);
  int32_t gone = beforeCount;
  for (ExpressionRecord* node = tree; node; node = NextTopDownWithin(node, tree)) {
    ExpressionRecord** found = std::lower_bound(before, before + beforeCount, node);
    if (found != before + beforeCount && *found == node) {
      *found = nullptr;
      --gone;
    }
  }
  if (gone == 0) return;
  std::sort(before, before + beforeCount);
  ParserNodeList& list = gParserNodeStack;
  const auto freed = [&](ExpressionRecord* node) {
    return std::binary_search(before, before + beforeCount, node, [](auto* a, auto* b) { return a < b; }) &&
           node != nullptr;
  };
  list.count = static_cast<int32_t>(std::remove_if(list.items, list.items + list.count, freed) - list.items);
}
