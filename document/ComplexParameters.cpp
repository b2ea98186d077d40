#include "document/ComplexParameters.h"

#include "document/DocumentRecord.h"
#include "expression/TreeWalking.h"

bool DefinesComplexParameter(int32_t variableId, const DocumentRecord* document) {
  if (!document) return false;
  for (const auto& definition : document->fParameterDefinitions)
    if (definition->variableId == variableId && definition->hasValue.load(std::memory_order_acquire))
      return !definition->fromSlider && definition->im.load(std::memory_order_acquire) != 0;
  return false;
}

bool DependsOnComplexParameter(ExpressionRecord* node, const DocumentRecord* document) {
  if (!node || !document) return false;
  for (ExpressionRecord* n = node; n; n = NextTopDownWithin(n, node))
    if (n->opcode == kOpAtom && DefinesComplexParameter(n->payload.id, document)) return true;
  return false;
}
