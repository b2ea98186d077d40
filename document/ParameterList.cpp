#include "document/ParameterList.h"

#include <cmath>

#include "algebra/RewriteHelpers.h"
#include "document/CoordinateDisplay.h"
#include "document/DocumentFunctionList.h"
#include "document/DocumentParameters.h"
#include "document/DocumentRecord.h"
#include "document/TableHeadings.h"
#include "expression/NumericComputability.h"
#include "graphpane/EquationDefinitions.h"

namespace {

bool DocumentDefines(int32_t id, const DocumentRecord* document) {
  for (const auto& definition : document->fParameterDefinitions)
    if (definition->variableId == id) return true;
  for (const MBlock& block : document->fContents.blocks) {
    const ExpressionRecord* tree = EquationTree(block);
    if (IsExprDefinition(tree) && tree->operands[0]->opcode == kOpAtom && tree->operands[0]->payload.id == id)
      return true;
  }
  return false;
}

bool IsFreeParameter(ExpressionRecord* atom, DocumentRecord* document) {
  const int32_t id = atom->payload.id;
  const ExpressionRecord* parent = atom->parent;
  const bool functionName = parent && parent->opcode == kOpFunction && parent->operands[0] == atom;
  return !functionName && IsParameterName(atom) && id != SliderVariable(document) &&
         !IsSummationIndex(atom, nullptr, document) && !FindTableHeading(document, id) &&
         !IsDocumentFunction(atom, document) && !DocumentDefines(id, document);
}

}  // namespace

void AddToParameterList(const ExpressionRecord* tree, DocumentRecord* document) {
  if (!tree || !document) return;
  auto& parameters = document->fContents.parameters;
  // The walk only reads.
  PostOrder(const_cast<ExpressionRecord*>(tree), [&](ExpressionRecord* n) {
    if (n->opcode != kOpAtom) return;
    const int32_t letter = n->payload.id;
    if (std::isnan(ShownParameterValue(letter, document))) {
      if (parameters.Count() >= kMostShownParameters || !IsFreeParameter(n, document)) return;
      parameters.Add({1.0, letter});
    }
    ShowParameterInDisplay(letter, document);
  });
}
