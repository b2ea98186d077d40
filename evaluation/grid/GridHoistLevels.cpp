#include "evaluation/grid/GridHoistLevels.h"

#include "evaluation/compiler/VariableRestriction.h"
#include "expression/SymbolTable.h"
#include "expression/TreeComparison.h"
#include "expression/TreeWalking.h"

namespace {

// The coordinates a level may hold, in the order they are tried.
constexpr int32_t kLevelCoordinates[5] = {'u', 'x', 'v', 'y', 'z'};
constexpr int32_t kLevelOfCoordinate[5] = {0, 0, 1, 1, 2};

int32_t CoordinateBit(int32_t id) {
  for (int32_t i = 0; i < 5; ++i)
    if (kLevelCoordinates[i] == id) return 1 << i;
  return 0;
}

int32_t HeldOperands(const ExpressionRecord* node) {
  int32_t count = 0;
  for (int32_t i = 0; node->operands != nullptr && i < node->operandCount; ++i) count += node->operands[i] != nullptr;
  return count;
}

bool UsesOnlyByWalking(ExpressionRecord* node, DocumentRecord* document, int32_t id) {
  return HasOnly(node, document, id, kNoAllowedVariable, kNoAllowedVariable, kNoAllowedVariable) &&
         DIM_Contains(node, id);
}

}  // namespace

// A node passes HasOnly's test when it computes, or names no coordinate
// (a subscripted name's base names none), or names the one allowed.
void GridHoistLevels::Build(ExpressionRecord* root, DocumentRecord* document) {
  fDocument = document;
  std::unordered_map<const ExpressionRecord*, int8_t>().swap(fLevels);
  fPending.clear();
  fWalksOnly = true;
  for (ExpressionRecord* node = LeftMost(root); node != nullptr; node = NextBottomUp(node)) {
    Uses uses{false, 0, 0};
    if (node->opcode == kOpAtom && node->operandCount == 0) uses.names = uint8_t(CoordinateBit(node->payload.id));
    if (!CanComputeNumerically(node, document, kHasOnlyFlags, nullptr)) {
      if (node->opcode != kOpAtom) {
        uses.refused = true;
      } else {
        const bool subscriptBase = node->parent != nullptr && node->parent->opcode == kOpIndexes && OP_NUMeq(node, 0);
        const int32_t id = subscriptBase ? 0 : node->payload.id;
        if (Is_xyzwtuvr_theta_phi(id)) {
          uses.needs = uint8_t(CoordinateBit(id));
          uses.refused = uses.needs == 0;
        }
      }
    }
    const size_t operands = size_t(HeldOperands(node));
    if (operands > fPending.size()) return;
    for (size_t i = fPending.size() - operands; i < fPending.size(); ++i) {
      uses.refused = uses.refused || fPending[i].refused;
      uses.needs |= fPending[i].needs;
      uses.names |= fPending[i].names;
    }
    fPending.resize(fPending.size() - operands);
    fPending.push_back(uses);
    for (int32_t i = 0; i < 5 && !uses.refused && operands > 0; ++i) {
      const int32_t bit = 1 << i;
      if ((uses.needs & ~bit) == 0 && (uses.names & bit) != 0) {
        fLevels[node] = int8_t(kLevelOfCoordinate[i]);
        break;
      }
    }
    if (node == root) {
      fWalksOnly = false;
      return;
    }
  }
}

int32_t GridHoistLevels::LevelOf(const ExpressionRecord* node) const {
  // A leaf is answered by the walks as fast as looked up.
  if (fWalksOnly || HeldOperands(node) == 0) {
    auto* tree = const_cast<ExpressionRecord*>(node);
    for (int32_t i = 0; i < 5; ++i)
      if (UsesOnlyByWalking(tree, fDocument, kLevelCoordinates[i])) return kLevelOfCoordinate[i];
    return -1;
  }
  const auto found = fLevels.find(node);
  return found != fLevels.end() ? found->second : -1;
}
