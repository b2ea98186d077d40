#include "algebra/DefinitionMatching.h"

#include "algebra/RewriteHelpers.h"
#include "algebra/Substitution.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "expression/TreeComparison.h"
#include "expression/TreeCopying.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeShorthands.h"

namespace {

struct Binding {
  int32_t id;
  ExpressionRecord* bound;  // owned
};

constexpr int32_t kFirstCapacity = 16;

// One per thread; the destructor gives the storage back when the thread ends.
struct BindingTable {
  Binding* entries = nullptr;
  int32_t count = 0;
  int32_t capacity = 0;

  ~BindingTable() { Clear(); }

  void Clear() {
    for (int32_t i = 0; i < count; ++i) DisposExpr(entries[i].bound);
    OurDisposeMemory(entries);
    entries = nullptr;
    count = capacity = 0;
  }

  const ExpressionRecord* Find(int32_t id) const {
    for (int32_t i = 0; i < count; ++i)
      if (entries[i].id == id && entries[i].bound) return entries[i].bound;
    return nullptr;
  }

  // Takes over bound; false (bound freed) when the storage cannot grow.
  bool Append(int32_t id, ExpressionRecord* bound) {
    if (!bound) return false;
    if (count == capacity) {
      const int32_t grown = capacity == 0 ? kFirstCapacity : capacity * 2;
      auto* larger = static_cast<Binding*>(OurAllocateMemory(sizeof(Binding) * static_cast<size_t>(grown), false));
      if (!larger) {
        DisposExpr(bound);
        return false;
      }
      if (count > 0) OurCopyMemory(larger, entries, sizeof(Binding) * static_cast<size_t>(count));
      OurDisposeMemory(entries);
      entries = larger;
      capacity = grown;
    }
    entries[count++] = Binding{id, bound};
    return true;
  }
};

thread_local BindingTable gBindingMap;

bool IsSubscriptBase(const ExpressionRecord* node) {
  return node->parent && node->parent->opcode == kOpIndexes && node->parent->operandCount > 0 &&
         node->parent->operands[0] == node;
}

}  // namespace

void MATCH_NullifyBindings() { gBindingMap.Clear(); }

int32_t MATCH_SetBindings(const ExpressionRecord* expression, const ExpressionRecord* pattern) {
  if (!expression || !pattern) return 0;
  if (pattern->opcode == kOpDummy) {
    if (const ExpressionRecord* bound = gBindingMap.Find(pattern->payload.id)) return MATH_Equal(expression, bound);
    return gBindingMap.Append(pattern->payload.id, Copy(expression)) ? 1 : 0;
  }
  if (expression->opcode != pattern->opcode || expression->operandCount != pattern->operandCount) return 0;
  switch (expression->opcode) {
    case kOpNumber:
    case kOpString: return MATH_Equal(expression, pattern);
    case kOpAtom:
      if (expression->payload.id != pattern->payload.id) return 0;
      if (IsSubscriptBase(expression) && !IsSubscriptBase(pattern)) return 0;
      break;
    default: break;
  }
  if (MATH_MemCheckInRecursion()) return 0;
  for (int32_t i = 0; i < expression->operandCount; ++i)
    if (!MATCH_SetBindings(expression->operands[i], pattern->operands[i])) return 0;
  return 1;
}

bool MATCH_Replace(ExpressionRecord* expression, const ExpressionRecord* replacement) {
  ExpressionRecord* filled = Copy(replacement);
  for (int32_t i = 0; filled && i < gBindingMap.count; ++i) {
    const Binding& b = gBindingMap.entries[i];
    filled = Subst(filled, Dummy(b.id), Copy(b.bound));
    if (filled) TAYLOR_Subst(filled);
  }
  return Become(expression, filled);
}

int32_t MATCH_Single(ExpressionRecord* expression, const ExpressionRecord* rule) {
  if (!expression || !rule || rule->opcode != kOpEquals || rule->operandCount < 2) return 0;
  const ExpressionRecord* replacement = rule->operands[rule->operandCount - 1];
  for (int32_t i = 0; i + 1 < rule->operandCount; ++i) {
    MATCH_NullifyBindings();
    if (MATCH_SetBindings(expression, rule->operands[i])) return MATCH_Replace(expression, replacement) ? 1 : 0;
  }
  return 0;
}
