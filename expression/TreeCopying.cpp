#include "expression/TreeCopying.h"

#include "CoreUtilities/MathConstants.h"
#include "CoreUtilities/text/OurString.h"
#include "expression/NodeMemory.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeDisposal.h"
#include "expression/WalkFrames.h"

#include <cstring>

namespace {

// Gives the copy node the source's kind, payload and storage, and a new
// zeroed child for every operand. The kind is set last, so that a node
// left half made owns nothing the disposal would misread.
bool CopyNode(const ExpressionRecord* source, ExpressionRecord* copy) {
  if (source->opcode != kOpNumber) copy->payload = source->payload;
  if (source->operandCount > 0 && source->operands) {
    ExpressionRecord** operands = MEM_FindBlockOf(source->operandCount);
    if (!operands) return false;
    for (int32_t i = 0; i < source->operandCount; ++i) operands[i] = nullptr;
    copy->operands = operands;
    copy->operandCount = source->operandCount;
    copy->opcode = source->opcode;
    for (int32_t i = 0; i < source->operandCount; ++i) {
      if (!source->operands[i]) continue;
      auto* child = static_cast<ExpressionRecord*>(AllocateNodeBlock(kNodeSlot));
      if (!child) return false;
      std::memset(child, 0, sizeof(ExpressionRecord));
      child->parent = copy;
      operands[i] = child;
    }
    return true;
  }
  if (source->opcode == kOpNumber && source->operandCount == 0 && source->payload.number) {
    auto* block = static_cast<NumberBlock*>(AllocateNodeBlock(kNumberBlockSlot));
    if (!block) return false;
    std::memcpy(block, source->payload.number, sizeof(NumberBlock));
    copy->payload.number = block;
  } else if (source->opcode == kOpString && source->operandCount == 0 && source->text) {
    UniChar* text = OurStringCreate(source->text, OurStringLength(source->text));
    if (!text) return false;
    copy->text = text;
  }
  copy->opcode = source->opcode;
  return true;
}

}  // namespace

ExpressionRecord* Copy(const ExpressionRecord* root) {
  if (!root) return nullptr;
  ExpressionRecord* copyRoot = static_cast<ExpressionRecord*>(AllocateNodeBlock(kNodeSlot));
  bool complete = copyRoot != nullptr;
  // Pre-order, each copy made before its operands' copies.
  struct Pending {
    const ExpressionRecord* source;
    ExpressionRecord* copy;
  };
  WalkFrames<Pending> pending;
  if (complete) {
    std::memset(copyRoot, 0, sizeof(ExpressionRecord));
    pending.Push({root, copyRoot});
  }
  while (complete && !pending.Empty()) {
    const Pending next = pending.Pop();
    complete = CopyNode(next.source, next.copy);
    ExpressionRecord** copies = next.copy->operands;
    for (int32_t k = complete && copies ? next.copy->operandCount - 1 : -1; k >= 0; --k)
      if (copies[k]) pending.Push({next.source->operands[k], copies[k]});
  }
  if (complete) return copyRoot;
  DisposExpr(copyRoot);
  ReportNodeMemoryExhausted();
  return Number(gNaN);
}

ExpressionRecord* ExprCopyWithKern(const ExpressionRecord* root) { return Copy(root); }
