#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "expression/ExpressionRecord.h"

class DocumentRecord;

// Thrown while generating when a formula holds something a fragment
// program cannot compute; the caller then colours on the processor.
class UnsupportedInFragmentProgram : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Compiles colour formulas into the text of an ARB fragment program. Every
// value is a scalar, packed four to a register; an operand id that is
// negative stands for the negated value.
class Program {
 public:
  enum ScalarKind : int32_t { kUniform = 0, kConstant = 1, kTemporary = 2, kExternal = 3 };

  struct Scalar {
    int32_t id = 0;
    ScalarKind kind = kTemporary;
    int32_t slot = -1;
    double value = 0;
    std::string name;
    int32_t firstUse = -1;
    int32_t lastUse = -1;
    bool defined = false;
  };

  // At most five operands, kept in place: programs are made often and
  // have hundreds of instructions.
  class Operands {
   public:
    void push_back(int32_t id) { fIds[fCount++] = id; }
    size_t size() const { return fCount; }
    int32_t& operator[](size_t i) { return fIds[i]; }
    int32_t operator[](size_t i) const { return fIds[i]; }
    const int32_t* begin() const { return fIds.data(); }
    const int32_t* end() const { return fIds.data() + fCount; }

   private:
    std::array<int32_t, 5> fIds{};
    uint8_t fCount = 0;
  };

  // An operation's name packed into a number (names have at most eight
  // letters), for comparing instructions quickly.
  static constexpr uint64_t OpCode(std::string_view op) {
    uint64_t code = 0;
    for (size_t i = 0; i < op.size() && i < 8; ++i) code |= uint64_t(uint8_t(op[i])) << (8 * i);
    return code;
  }

  struct Instruction {
    std::string op;
    uint64_t code = 0;  // OpCode(op)
    bool removed = false;
    Operands operands;  // destination first; a KIL has its source only
  };

  static constexpr int32_t kAbsent = int32_t(0xE0000000u);

  // The uniform list is the caller's: copies of the subexpressions that
  // depend on document parameters are appended to it.
  Program(std::vector<ExpressionRecord*>* uniforms, DocumentRecord* document);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  int32_t emitExpr(ExpressionRecord* node);

  int32_t getConst(double value);
  int32_t getUniform(ExpressionRecord* node);
  int32_t getTemp();
  int32_t getExternal(const char* name);
  int32_t getRId();
  int32_t getPhiId();
  int32_t xId() const { return fX; }
  int32_t yId() const { return fY; }
  int32_t zId() const { return fZ; }

  Instruction& emit(const char* op, int32_t a, int32_t b = kAbsent, int32_t c = kAbsent, int32_t d = kAbsent,
                    int32_t e = kAbsent);
  int32_t emitNAry(const char* op, const int32_t* ids, int32_t n);

  // Each returns the id of its value unless it writes into ids it is given.
  int32_t emitArcTan_0_1(int32_t t);
  int32_t emitArcTan(int32_t a);
  int32_t emitArcTan2(int32_t a, int32_t b, bool reciprocal);
  int32_t emitArcSine(int32_t a);
  void emitNaNIfNeg(int32_t r, int32_t c);
  int32_t emitIntCompare(int32_t v, int32_t k);
  void emitHSV2RGB(int32_t r, int32_t g, int32_t b, int32_t h, int32_t s, int32_t v);
  int32_t emitPower(int32_t a, int32_t b);

  void setRegisterReuse(bool on) { fRegisterReuse = on; }
  void setDomainChecks(bool on) { fDomainChecks = on; }
  void setDiscardOnDomainError(bool on) { fDiscard = on; }
  void setTextureUsed(bool on) { fTextureUsed = on; }

  std::string getString();

  const std::vector<Instruction>& instructions() const { return fInstructions; }
  const Scalar& scalar(int32_t id) const;

 private:
  int32_t newScalar(ScalarKind kind);
  Scalar& scalarOf(int32_t id) {
    const auto index = size_t(id < 0 ? -int64_t(id) : int64_t(id));
    if (index == 0 || index >= fScalars.size()) throw UnsupportedInFragmentProgram("operand without a value");
    return fScalars[index];
  }
  int32_t emitOperation(ExpressionRecord* node, std::span<const int32_t> a);
  int32_t emitComparisonChain(std::span<const int32_t> a, bool descending);
  int32_t emitIntegerPower(int32_t a, int32_t n, bool invert);

  void doCSE();
  void allocateScalarStorage();
  void appendInstruction(std::string& text, const Instruction& instruction);

  int32_t fX, fY, fZ;
  int32_t fRho = 0, fPhi = 0, fTheta = 0;
  int32_t fXYSquares = 0, fXYZSquares = 0, fOneOverRho = 0;
  int32_t fLastId = 0;
  bool fRegisterReuse = true;
  bool fDomainChecks = true;
  bool fDiscard = true;
  bool fTextureUsed = false;
  bool fStorageAllocated = false;
  std::vector<Scalar> fScalars;     // indexed by id; id 0 is no scalar
  std::vector<int32_t> fExternals;  // a program reads and writes a dozen at most
  std::map<double, int32_t> fConstants;
  std::map<int32_t, int32_t> fUniformIds;  // list index to scalar id
  std::vector<ExpressionRecord*>* fUniforms;
  std::vector<Instruction> fInstructions;
  DocumentRecord* fDocument;
};
