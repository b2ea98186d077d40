#include "evaluation/compiler/UserFunction.h"

#include "evaluation/compiler/ExpressionCompiler.h"
#include "evaluation/StackMachine.h"
#include "evaluation/compiler/StackMachineRewriting.h"
#include "evaluation/compiler/VariableRestriction.h"
#include "expression/TreeComparison.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeWalking.h"

namespace {

bool HasKind(const ExpressionRecord* node, OpCodeT kind) { return node != nullptr && node->opcode == kind; }

const ExpressionRecord* Application(const ExpressionRecord* definition) {
  if (!HasKind(definition, kOpEquals) || definition->operandCount != 2) return nullptr;
  const ExpressionRecord* left = definition->operands[0];
  return HasKind(left, kOpFunction) && left->operandCount == 2 ? left : nullptr;
}

// The parameter id of each argument position, or false when a parameter is
// no placeholder, is repeated, or there are more than the program's fixed
// slots can hold.
bool ParameterIds(const ExpressionRecord* parameters, int32_t* ids, int32_t* count) {
  const bool list = HasKind(parameters, kOpComma);
  *count = list ? parameters->operandCount : 1;
  if (*count < 1 || *count > kTemporariesBase) return false;
  for (int32_t p = 0; p < *count; ++p) {
    const ExpressionRecord* parameter = list ? parameters->operands[p] : parameters;
    if (!HasKind(parameter, kOpDummy)) return false;
    ids[p] = parameter->payload.id;
    for (int32_t q = 0; q < p; ++q) {
      if (ids[q] == ids[p]) return false;
    }
  }
  return true;
}

int32_t PositionOf(int32_t id, const int32_t* ids, int32_t count) {
  for (int32_t p = 0; p < count; ++p) {
    if (ids[p] == id) return p;
  }
  return -1;
}

// Each placeholder of the body takes its argument position in one pass, so
// a parameter id that equals an earlier position is never renamed twice.
bool RenumberParameters(ExpressionRecord* body, const int32_t* ids, int32_t count) {
  for (ExpressionRecord* n = body; n != nullptr; n = NextTopDownWithin(n, body)) {
    if (HasKind(n, kOpDummy) && PositionOf(n->payload.id, ids, count) < 0) return false;
  }
  for (ExpressionRecord* n = body; n != nullptr; n = NextTopDownWithin(n, body)) {
    if (HasKind(n, kOpDummy)) n->payload.id = PositionOf(n->payload.id, ids, count);
  }
  return true;
}

}  // namespace

AFunction::AFunction(ExpressionRecord* definition, DocumentRecord* document)
    : fDefinition(definition), fDocument(document) {}

AFunction::~AFunction() { DisposExpr(fDefinition); }

bool AFunction::Matches(const ExpressionRecord* e) const {
  const ExpressionRecord* application = Application(fDefinition);
  return application != nullptr && MATH_Equal(e, application->operands[0]);
}

int32_t AFunction::ParameterCount() const {
  const ExpressionRecord* application = Application(fDefinition);
  if (application == nullptr) return -1;
  int32_t ids[kTemporariesBase];
  int32_t count = 0;
  return ParameterIds(application->operands[1], ids, &count) ? count : -1;
}

void AFunction::Compile() {
  if (fProgram != nullptr) return;
  const ExpressionRecord* application = Application(fDefinition);
  if (application == nullptr) return;
  int32_t ids[kTemporariesBase];
  int32_t count = 0;
  if (!ParameterIds(application->operands[1], ids, &count)) return;
  const bool list = HasKind(application->operands[1], kOpComma);
  ExpressionRecord* body = fDefinition->operands[1];
  if (!HasOnly(body, fDocument, kNoAllowedVariable, kNoAllowedVariable, kNoAllowedVariable, kNoAllowedVariable)) return;
  MungeExprForStackMachine(fDefinition, fDocument);
  body = fDefinition->operands[1];
  if (!RenumberParameters(body, ids, count)) return;
  std::unique_ptr<AStackMachine> program(new AStackMachine);
  if (program == nullptr) return;
  CompileExpression(program.get(), body, nullptr, true, false, fDocument);
  program->fArgumentCount = list ? count : 0;
  fProgram = std::move(program);
}
