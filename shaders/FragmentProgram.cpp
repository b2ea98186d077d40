#include "shaders/FragmentProgram.h"

#include <array>
#include <cmath>
#include <new>
#include <string_view>
#include <utility>

#include "CoreUtilities/MathConstants.h"
#include "evaluation/ScalarExprEval.h"
#include "expression/OperatorKinds.h"
#include "expression/TreeComparison.h"
#include "expression/TreeComputability.h"
#include "expression/TreeCopying.h"
#include "expression/VariableIds.h"

namespace {

constexpr double kE = 2.718281828459045;
constexpr double kLog10Of2 = 0.301029995663981;
constexpr double kLnOf2 = 0.6931471805599453;

}  // namespace

Program::Program(std::vector<ExpressionRecord*>* uniforms, DocumentRecord* document)
    : fUniforms(uniforms), fDocument(document) {
  fScalars.reserve(64);
  fScalars.emplace_back();
  fInstructions.reserve(64);
  fX = getExternal("fragment.texcoord[0].x");
  fY = getExternal("fragment.texcoord[0].y");
  fZ = getExternal("fragment.texcoord[0].z");
}

int32_t Program::newScalar(ScalarKind kind) {
  const int32_t id = ++fLastId;
  Scalar& s = fScalars.emplace_back();
  s.id = id;
  s.kind = kind;
  return id;
}

const Program::Scalar& Program::scalar(int32_t id) const {
  const size_t index = size_t(id < 0 ? -int64_t(id) : int64_t(id));
  if (index == 0) throw std::out_of_range("no scalar");
  return fScalars.at(index);
}

int32_t Program::getConst(double value) {
  if (!std::isfinite(value)) throw UnsupportedInFragmentProgram("constant without a finite value");
  const double magnitude = std::fabs(value);
  auto found = fConstants.find(magnitude);
  if (found == fConstants.end()) {
    const int32_t id = newScalar(kConstant);
    fScalars.at(id).value = magnitude;
    found = fConstants.emplace(magnitude, id).first;
  }
  return value < 0 ? -found->second : found->second;
}

int32_t Program::getUniform(ExpressionRecord* node) {
  for (size_t i = 0; i < fUniforms->size(); ++i) {
    if (!MATH_Equal((*fUniforms)[i], node)) continue;
    auto found = fUniformIds.find(int32_t(i));
    if (found == fUniformIds.end()) {
      const int32_t id = newScalar(kUniform);
      fScalars.at(id).slot = int32_t(i);
      found = fUniformIds.emplace(int32_t(i), id).first;
    }
    return found->second;
  }
  ExpressionRecord* copy = Copy(node);
  if (!copy) throw std::bad_alloc();
  fUniforms->push_back(copy);
  const int32_t index = int32_t(fUniforms->size() - 1);
  const int32_t id = newScalar(kUniform);
  fScalars.at(id).slot = index;
  fUniformIds.emplace(index, id);
  return id;
}

int32_t Program::getTemp() { return newScalar(kTemporary); }

int32_t Program::getExternal(const char* name) {
  const std::string_view wanted(name);
  for (const int32_t known : fExternals) {
    if (std::string_view(fScalars[size_t(known)].name) == wanted) return known;
  }
  const int32_t id = newScalar(kExternal);
  fScalars.at(id).name = name;
  fExternals.push_back(id);
  return id;
}

Program::Instruction& Program::emit(const char* op, int32_t a, int32_t b, int32_t c, int32_t d, int32_t e) {
  Instruction& instruction = fInstructions.emplace_back();
  instruction.op = op;
  instruction.code = OpCode(instruction.op);
  for (const int32_t id : {a, b, c, d, e}) {
    if (id != kAbsent) instruction.operands.push_back(id);
  }
  return instruction;
}

int32_t Program::emitNAry(const char* op, const int32_t* ids, int32_t n) {
  if (n == 1) return ids[0];
  const int32_t half = n / 2;
  const int32_t left = emitNAry(op, ids, half);
  const int32_t right = emitNAry(op, ids + half, n - half);
  const int32_t r = getTemp();
  emit(op, r, left, right);
  return r;
}

int32_t Program::emitExpr(ExpressionRecord* node) {
  if (!node) throw UnsupportedInFragmentProgram("missing operand");
  if (DIM_EvalsToNum(node, fDocument)) return getConst(ScalarExprEval(node, fDocument));
  if (DIM_EvalsToNumAllowingParameters(node, fDocument)) return getUniform(node);
  // Most kinds have a few operands: those need no allocation.
  std::array<int32_t, 8> few;
  std::vector<int32_t> many(node->operandCount > few.size() ? node->operandCount : 0);
  int32_t* const operands = many.empty() ? few.data() : many.data();
  for (uint16_t i = 0; i < node->operandCount; ++i) operands[i] = emitExpr(node->operands[i]);
  return emitOperation(node, {operands, node->operandCount});
}

int32_t Program::emitComparisonChain(std::span<const int32_t> a, bool descending) {
  const int32_t r = getTemp();
  for (size_t i = 0; i + 1 < a.size(); ++i) {
    const int32_t lower = descending ? a[i + 1] : a[i], upper = descending ? a[i] : a[i + 1];
    const int32_t t = i == 0 ? r : getTemp();
    emit("SLT", t, lower, upper);
    if (i > 0) emit("MUL", r, r, t);
  }
  return r;
}

int32_t Program::emitOperation(ExpressionRecord* node, std::span<const int32_t> a) {
  const auto n = int32_t(a.size());
  auto need = [&](int32_t count) {
    if (n < count) throw UnsupportedInFragmentProgram("too few operands");
  };
  switch (node->opcode) {
    case kOpAtom:
      switch (node->payload.id) {
        case kIdX: return fX;
        case kIdY: return fY;
        case kIdZ: return fZ;
        case kIdRho: return getRId();
        case kIdPhi: return getPhiId();
        case kIdTheta:
          if (!fTheta) fTheta = emitArcTan2(fX, fY, false);
          return fTheta;
        case kIdE: return getConst(kE);
        case kIdPi: return getConst(gPi);
        default: throw UnsupportedInFragmentProgram("atom without a value");
      }
    case kOpTimes: need(1); return emitNAry("MUL", a.data(), n);
    case kOpPlus: need(1); return emitNAry("ADD", a.data(), n);
    case kOpMin: need(1); return emitNAry("MIN", a.data(), n);
    case kOpMax: need(1); return emitNAry("MAX", a.data(), n);
    case kOpComma:
    case kOpConditions: {
      need(1);
      if (n == 1) return a[0];
      const int32_t r = getTemp();
      emit("MUL", r, a[0], a[1]);
      for (int32_t i = 2; i < n; ++i) emit("MUL", r, r, a[i]);
      return r;
    }
    case kOpLess:
    case kOpLeq: need(2); return emitComparisonChain(a, false);
    case kOpGreater:
    case kOpGeq: need(2); return emitComparisonChain(a, true);
    case kOpMinus: need(1); return -a[0];
    default: break;
  }
  need(1);
  const int32_t r = getTemp();
  switch (node->opcode) {
    case kOpSin: emit("SIN", r, a[0]); return r;
    case kOpCos: emit("COS", r, a[0]); return r;
    case kOpAtan: return emitArcTan(a[0]);
    case kOpAcot: {
      emit("RCP", r, a[0]);
      const int32_t angle = emitArcTan(r);
      const int32_t t = getTemp();
      emit("CMP", t, a[0], getConst(gPi), getConst(0));
      emit("ADD", angle, angle, t);
      return angle;
    }
    case kOpAsin: return emitArcSine(a[0]);
    case kOpSgn: {
      const int32_t p = getTemp(), q = getTemp();
      emit("SLT", p, a[0], getConst(0));
      emit("SLT", q, getConst(0), a[0]);
      emit("ADD", r, q, -p);
      return r;
    }
    case kOpLog:
    case kOpLn:
      if (n != 1) break;
      emit("LG2", r, a[0]);
      emit("MUL", r, r, getConst(node->opcode == kOpLog ? kLog10Of2 : kLnOf2));
      emitNaNIfNeg(r, a[0]);
      return r;
    case kOpSqrt:
      if (n != 1) break;
      emit("RSQ", r, a[0]);
      emit("RCP", r, r);
      emitNaNIfNeg(r, a[0]);
      return r;
    case kOpAbs: emit("ABS", r, a[0]); return r;
    case kOpFloor: emit("FLR", r, a[0]); return r;
    case kOpOver:
      need(2);
      emit("RCP", r, a[1]);
      emit("MUL", r, a[0], r);
      return r;
    case kOpPower: need(2); return emitPower(a[0], a[1]);
    case kOpExp: emit("POW", r, getConst(kE), a[0]); return r;
    case kOpMod:
      need(2);
      emit("RCP", r, a[1]);
      emit("MUL", r, r, a[0]);
      emit("FRC", r, r);
      emit("MUL", r, r, a[1]);
      return r;
    case kOpAngle: need(2); return emitArcTan2(a[0], a[1], false);
    default: break;
  }
  throw UnsupportedInFragmentProgram("formula kind without an instruction");
}
