#pragma once

// Encodes the few x86-64 instructions native runs are made of (scalar SSE2,
// moves, calls through absolute addresses, forward and backward jumps),
// with a pool of 16-byte literals kept apart from the code: the numbers of
// a document go there, on pages that are never executable.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace native {

enum class Gpr : uint8_t {
  kRax = 0,
  kRcx = 1,
  kRdx = 2,
  kRbx = 3,
  kRsp = 4,
  kRbp = 5,
  kRsi = 6,
  kRdi = 7,
  kR12 = 12,
  kR13 = 13
};
enum class Xmm : uint8_t { k0 = 0, k1 = 1, k2 = 2 };

// A register plus a displacement, or a literal of the pool.
struct Memory {
  Gpr base;
  int32_t disp;
  int32_t literal;  // -1: not a literal
};
inline Memory At(Gpr base, int32_t disp) { return {base, disp, -1}; }

// The scalar double operations, by their opcode byte after F2 0F.
enum class Scalar : uint8_t { kSqrt = 0x51, kAdd = 0x58, kMul = 0x59, kSub = 0x5C, kDiv = 0x5E };
// The predicates of cmpsd that a comparison of doubles needs.
enum class Predicate : uint8_t { kEqual = 0, kLess = 1, kLessEqual = 2, kNotEqual = 4 };

// Conditions of a jump, by their encoding, as ucomisd leaves the flags:
// kBelow and kBelowOrEqual hold, and kAbove does not, for an unordered pair.
enum class Condition : uint8_t {
  kBelow = 0x2,
  kZero = 0x4,
  kNotZero = 0x5,
  kBelowOrEqual = 0x6,
  kAbove = 0x7,
  kParity = 0xA,  // unordered
};

struct Label {
  int32_t id;
};

class Assembler {
 public:
  void Endbr64() { Bytes({0xF3, 0x0F, 0x1E, 0xFA}); }
  void Ret() { Byte(0xC3); }
  void Push(Gpr r);
  void Pop(Gpr r);
  void Move(Gpr to, Gpr from);
  void MoveImmediate(Gpr to, uint64_t value);
  void MoveImmediate32(Gpr to, int32_t value);
  void AdjustStack(int32_t bytes);  // add rsp, bytes
  void Lea(Gpr to, Memory m);
  void CallThrough(Gpr r);           // call r
  void Load32(Gpr to, Memory m);     // mov r32, [m]
  void Or32(Gpr to, Memory m);       // or r32, [m]
  void TestLow8(Gpr r);              // test r8, r8
  void Store32(Memory m, Gpr from);  // mov [m], r32

  void Load(Xmm to, Memory m);     // movsd
  void Store(Memory m, Xmm from);  // movsd
  void Copy(Xmm to, Xmm from);     // movapd
  void Apply(Scalar op, Xmm to, Memory m);
  void Apply(Scalar op, Xmm to, Xmm from);
  void Xor(Xmm to, Memory m);                   // xorpd, 16 aligned bytes
  void And(Xmm to, Memory m);                   // andpd, 16 aligned bytes
  void Compare(Predicate p, Xmm to, Xmm from);  // cmpsd: all ones where true
  void UnorderedCompare(Xmm a, Memory b);       // ucomisd

  Label NewLabel();
  void Bind(Label label);
  void Jump(Label label);
  void JumpIf(Condition condition, Label label);

  // The literal of these 16 bytes, made once.
  Memory Literal(uint64_t low, uint64_t high);

  size_t CodeBytes() const { return code_.size(); }
  size_t PoolBytes() const { return literals_.size() * sizeof(uint64_t); }
  // Writes the code at `code` and the literals at `pool` (16-byte aligned,
  // within 2 GB of the code, which reads them relative to itself); false
  // when a label was never bound.
  bool Finish(uint8_t* code, uint8_t* pool);

 private:
  void Byte(uint8_t b) { code_.push_back(b); }
  void Bytes(std::initializer_list<uint8_t> bytes) { code_.insert(code_.end(), bytes); }
  void Int32(int32_t value);
  void Int64(uint64_t value);
  void Rex(bool wide, int32_t reg, int32_t base);
  void Operand(int32_t reg, Memory m);
  void Sse(uint8_t prefix, uint8_t opcode, int32_t reg, Memory m);
  void SseRegisters(uint8_t prefix, uint8_t opcode, Xmm to, Xmm from);
  void JumpWith(std::initializer_list<uint8_t> opcode, Label label);

  struct Fixup {
    int32_t at;      // the displacement's place in the code
    int32_t target;  // label or literal
  };
  std::vector<uint8_t> code_;
  std::vector<int32_t> labels_;  // bound places, -1 while unbound
  std::vector<Fixup> jumps_;
  std::vector<Fixup> literalUses_;
  std::vector<uint64_t> literals_;  // two words each
};

}  // namespace native
