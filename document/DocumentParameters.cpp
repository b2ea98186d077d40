#include "document/DocumentParameters.h"

#include "document/DocumentRecord.h"
#include "document/TableHeadings.h"
#include "expression/OperatorKinds.h"
#include "graphpane/EquationDefinitions.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {

constexpr double kDefaultSliderSteps = 100;
constexpr double kFewestSliderSteps = 1;
constexpr double kMostSliderSteps = 200;

const ExpressionRecord* Operand(const ExpressionRecord* node, int index) { return node->operands[index]; }

std::optional<double> RealConstant(const ExpressionRecord* node) {
  const auto value = ComplexConstantValue(node);
  if (!value || value->im != 0) return std::nullopt;
  return value->re;
}

// slider(minimum, maximum) or slider(minimum, maximum, steps), its knob at
// the block's position (clamped to the steps, themselves kept to 1-200).
std::optional<double> SliderEquationValue(const ExpressionRecord* slider, int32_t position) {
  if (slider->operandCount != 1) return std::nullopt;
  const ExpressionRecord* list = Operand(slider, 0);
  if (list->opcode != kOpComma || list->operandCount < 2 || list->operandCount > 3) return std::nullopt;
  const auto minimum = RealConstant(Operand(list, 0));
  const auto maximum = RealConstant(Operand(list, 1));
  const auto steps = list->operandCount == 3 ? RealConstant(Operand(list, 2)) : kDefaultSliderSteps;
  if (!minimum || !maximum || !steps || std::isnan(*steps)) return std::nullopt;
  const double clampedSteps = std::clamp(std::round(*steps), kFewestSliderSteps, kMostSliderSteps);
  const double knob = std::clamp<double>(position, 0, clampedSteps);
  return *minimum + (*maximum - *minimum) * knob / clampedSteps;
}

}  // namespace

void UpdateSliderValue(DocumentRecord* document) {
  const DocumentContents& contents = document->fContents;
  double value = contents.sliderMinimum;
  if (contents.sliderSteps > 0)
    value += (contents.sliderMaximum - contents.sliderMinimum) * contents.sliderControlValue / contents.sliderSteps;
  document->fSliderValue.store(value, std::memory_order_release);
}

double DocumentSliderValue(const DocumentRecord* document) {
  return document ? document->fSliderValue.load(std::memory_order_acquire) : 0;
}

int32_t SliderVariable(DocumentRecord* document) { return document ? document->fContents.sliderVariable : 'n'; }

void RebuildParameterDefinitions(DocumentRecord* document) {
  AssertNoDocumentComputation(document);
  document->fParameterDefinitions.clear();
  const auto& blocks = document->fContents.blocks;
  for (int32_t index = 0; index < blocks.Count(); ++index) {
    const MBlock& block = blocks[index];
    const ExpressionRecord* tree = EquationTree(block);
    if (block.kind != kEquationBlock || !tree || tree->opcode != kOpEquals || tree->operandCount != 2) continue;
    if (!IsParameterName(Operand(tree, 0))) continue;
    const ExpressionRecord* right = Operand(tree, 1);
    auto definition = std::make_unique<ParameterDefinition>();
    definition->variableId = Operand(tree, 0)->payload.id;
    if (right->opcode == kOpSlider) {
      const auto value = SliderEquationValue(right, block.mathPaneSlider);
      if (!value) continue;
      definition->re.store(*value);
      definition->fromSlider = true;
    } else if (const auto point = ComplexConstantValue(right)) {
      definition->re.store(point->re);
      definition->im.store(point->im);
    } else {
      definition->expandedBlock = index;
      definition->hasValue.store(false);
    }
    document->fParameterDefinitions.push_back(std::move(definition));
  }
}

double ShownParameterValue(int32_t variableId, const DocumentRecord* document) {
  if (document)
    for (const DocumentParameter& parameter : document->fContents.parameters)
      if (parameter.name == variableId) return parameter.value;
  return std::numeric_limits<double>::quiet_NaN();
}

void TakeExpandedParameterValue(DocumentRecord* document, int32_t block, const ExpressionRecord* expanded) {
  if (!document || !expanded || expanded->opcode != kOpEquals || expanded->operandCount != 2) return;
  const ExpressionRecord* name = Operand(expanded, 0);
  if (name->opcode != kOpAtom) return;
  for (const auto& definition : document->fParameterDefinitions) {
    if (definition->expandedBlock != block || definition->variableId != name->payload.id) continue;
    // The expansion has folded a constant right side to its value.
    const auto value = ComplexConstantValue(Operand(expanded, 1));
    if (!value) return;
    definition->re.store(value->re, std::memory_order_relaxed);
    definition->im.store(value->im, std::memory_order_relaxed);
    definition->hasValue.store(true, std::memory_order_release);
    return;
  }
}

Complex LookUpParameter(int32_t variableId, int32_t tableRow, const DocumentRecord* document) {
  if (!document) return {1, 0};
  for (const auto& definition : document->fParameterDefinitions)
    if (definition->variableId == variableId && definition->hasValue.load(std::memory_order_acquire))
      return {definition->re.load(std::memory_order_acquire), definition->im.load(std::memory_order_acquire)};
  if (FindTableHeading(document, variableId)) return {GetTableData(variableId, tableRow, document), 0};
  return {1, 0};
}
