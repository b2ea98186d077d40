#include "document/DocumentFunctionNames.h"

#include "document/DocumentRecord.h"
#include "expression/TreeComparison.h"

bool IsDocumentFunction(const ExpressionRecord* name, const DocumentRecord* document) {
  if (!name || !document) return false;
  for (const MBlock& block : document->fContents.blocks) {
    const ExpressionRecord* tree = block.expression;
    if (block.kind != kEquationBlock || !tree || tree->opcode != kOpEquals || tree->operandCount != 2) continue;
    const ExpressionRecord* left = tree->operands[0];
    if (left->opcode == kOpFunction && left->operandCount >= 1 && MATH_Equal(left->operands[0], name)) return true;
  }
  return false;
}
