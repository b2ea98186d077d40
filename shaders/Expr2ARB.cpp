#include "shaders/Expr2ARB.h"

#include <exception>

#include "CoreUtilities/memory/MemoryBudget.h"
#include "expression/OperatorKinds.h"
#include "expression/TreeDisposal.h"
#include "shaders/FragmentProgram.h"

namespace {

void EmitMask(Program& program, ExpressionRecord* mask) {
  if (!mask || mask->opcode == kOpNumber) return;
  const int32_t m = program.emitExpr(mask);
  const int32_t below = program.getTemp();
  program.emit("SLT", below, m, program.getConst(0.5));
  program.emit("KIL", -below);
}

int32_t Saturated(Program& program, int32_t value) {
  const int32_t t = program.getTemp();
  program.emit("MOV_SAT", t, value);
  return t;
}

// The colour times the lit vertex colour, alpha the vertex colour's.
void EmitLitColour(Program& program, const int32_t (&colour)[3]) {
  static const char* const kPrimary[] = {"fragment.color.primary.x", "fragment.color.primary.y",
                                         "fragment.color.primary.z", "fragment.color.primary.w"};
  static const char* const kResult[] = {"result.color.x", "result.color.y", "result.color.z", "result.color.w"};
  for (int i = 0; i < 4; ++i) {
    const int32_t lit = program.getExternal(kPrimary[i]);
    if (i < 3) {
      program.emit("MUL", program.getExternal(kResult[i]), lit, colour[i]);
    } else {
      program.emit("MOV", program.getExternal(kResult[i]), lit);
    }
  }
}

template <typename Build>
std::string GenerateProgram(std::vector<ExpressionRecord*>* uniforms, DocumentRecord* document, Build build) {
  const size_t uniformsBefore = uniforms->size();
  try {
    Program program(uniforms, document);
    build(program);
    // A rewrite that ran out of memory stops where it stands and leaves its
    // tree half done: a program read from it would draw something else.
    if (gMathError.load() == 0) return program.getString();
  } catch (const std::exception&) {
  }
  for (size_t i = uniformsBefore; i < uniforms->size(); ++i) DisposExpr((*uniforms)[i]);
  uniforms->resize(uniformsBefore);
  return {};
}

}  // namespace

namespace Expr2ARB {

std::string getARBString(std::vector<ExpressionRecord*>* uniforms, ExpressionRecord* r, ExpressionRecord* g,
                         ExpressionRecord* b, ExpressionRecord* mask, DocumentRecord* document) {
  return GenerateProgram(uniforms, document, [&](Program& program) {
    EmitMask(program, mask);
    if (!r || !g || !b) {
      program.setTextureUsed(true);
      EmitLitColour(program, {program.getExternal("TX.x"), program.getExternal("TX.y"), program.getExternal("TX.z")});
      return;
    }
    const int32_t red = Saturated(program, program.emitExpr(r));
    const int32_t green = Saturated(program, program.emitExpr(g));
    const int32_t blue = Saturated(program, program.emitExpr(b));
    EmitLitColour(program, {red, green, blue});
  });
}

std::string getARBStringFromHSV(std::vector<ExpressionRecord*>* uniforms, ExpressionRecord* h, ExpressionRecord* s,
                                ExpressionRecord* v, ExpressionRecord* mask, DocumentRecord* document, bool rawHSV) {
  return GenerateProgram(uniforms, document, [&](Program& program) {
    if (!h || !s || !v) throw UnsupportedInFragmentProgram("a colour component is missing");
    EmitMask(program, mask);
    const int32_t hue = program.emitExpr(h), saturation = program.emitExpr(s), value = program.emitExpr(v);
    if (rawHSV) {
      program.emit("FRC", program.getExternal("result.color.x"), hue);
      program.emit("MOV", program.getExternal("result.color.y"), saturation);
      program.emit("MUL", program.getExternal("result.color.z"), program.getExternal("fragment.color.primary.z"),
                   Saturated(program, value));
      program.emit("MOV", program.getExternal("result.color.w"), program.getConst(1));
      return;
    }
    // Clamped first, as the processor's colouring does.
    const int32_t clampedS = Saturated(program, saturation), clampedV = Saturated(program, value);
    const int32_t red = program.getTemp(), green = program.getTemp(), blue = program.getTemp();
    program.emitHSV2RGB(red, green, blue, hue, clampedS, clampedV);
    EmitLitColour(program, {Saturated(program, red), Saturated(program, green), Saturated(program, blue)});
  });
}

}  // namespace Expr2ARB
