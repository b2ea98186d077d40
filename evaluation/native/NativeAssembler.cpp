#include "evaluation/native/NativeAssembler.h"

#include <cstring>

namespace native {

namespace {

int32_t Low3(Gpr r) { return static_cast<int32_t>(r) & 7; }

}  // namespace

void Assembler::Int32(int32_t value) {
  uint8_t bytes[4];
  std::memcpy(bytes, &value, 4);
  code_.insert(code_.end(), bytes, bytes + 4);
}

void Assembler::Int64(uint64_t value) {
  uint8_t bytes[8];
  std::memcpy(bytes, &value, 8);
  code_.insert(code_.end(), bytes, bytes + 8);
}

void Assembler::Rex(bool wide, int32_t reg, int32_t base) {
  const int32_t rex = 0x40 | (wide ? 8 : 0) | ((reg >> 3) << 2) | (base >> 3);
  if (rex != 0x40) Byte(static_cast<uint8_t>(rex));
}

// ModRM (and SIB) with a 32-bit displacement; a literal is reached from
// the end of the instruction, which no immediate follows here.
void Assembler::Operand(int32_t reg, Memory m) {
  if (m.literal >= 0) {
    Byte(static_cast<uint8_t>(((reg & 7) << 3) | 5));
    literalUses_.push_back({static_cast<int32_t>(code_.size()), m.literal});
    Int32(0);
    return;
  }
  Byte(static_cast<uint8_t>(0x80 | ((reg & 7) << 3) | Low3(m.base)));
  if (Low3(m.base) == 4) Byte(0x24);  // rsp and r12 need a SIB byte
  Int32(m.disp);
}

void Assembler::Sse(uint8_t prefix, uint8_t opcode, int32_t reg, Memory m) {
  Byte(prefix);
  Rex(false, reg, m.literal >= 0 ? 0 : static_cast<int32_t>(m.base));
  Bytes({0x0F, opcode});
  Operand(reg, m);
}

void Assembler::SseRegisters(uint8_t prefix, uint8_t opcode, Xmm to, Xmm from) {
  Bytes({prefix, 0x0F, opcode});
  Byte(static_cast<uint8_t>(0xC0 | (static_cast<int32_t>(to) << 3) | static_cast<int32_t>(from)));
}

void Assembler::Push(Gpr r) {
  Rex(false, 0, static_cast<int32_t>(r));
  Byte(static_cast<uint8_t>(0x50 + Low3(r)));
}

void Assembler::Pop(Gpr r) {
  Rex(false, 0, static_cast<int32_t>(r));
  Byte(static_cast<uint8_t>(0x58 + Low3(r)));
}

void Assembler::Move(Gpr to, Gpr from) {
  Rex(true, static_cast<int32_t>(from), static_cast<int32_t>(to));
  Byte(0x89);
  Byte(static_cast<uint8_t>(0xC0 | (Low3(from) << 3) | Low3(to)));
}

void Assembler::MoveImmediate(Gpr to, uint64_t value) {
  Rex(true, 0, static_cast<int32_t>(to));
  Byte(static_cast<uint8_t>(0xB8 + Low3(to)));
  Int64(value);
}

void Assembler::MoveImmediate32(Gpr to, int32_t value) {
  Rex(false, 0, static_cast<int32_t>(to));
  Byte(static_cast<uint8_t>(0xB8 + Low3(to)));
  Int32(value);
}

void Assembler::AdjustStack(int32_t bytes) {
  Bytes({0x48, 0x81, 0xC4});
  Int32(bytes);
}

void Assembler::Lea(Gpr to, Memory m) {
  Rex(true, static_cast<int32_t>(to), static_cast<int32_t>(m.base));
  Byte(0x8D);
  Operand(static_cast<int32_t>(to), m);
}

void Assembler::CallThrough(Gpr r) {
  Rex(false, 0, static_cast<int32_t>(r));
  Bytes({0xFF, static_cast<uint8_t>(0xD0 | Low3(r))});
}

void Assembler::Load32(Gpr to, Memory m) {
  Rex(false, static_cast<int32_t>(to), static_cast<int32_t>(m.base));
  Byte(0x8B);
  Operand(static_cast<int32_t>(to), m);
}

void Assembler::Or32(Gpr to, Memory m) {
  Rex(false, static_cast<int32_t>(to), static_cast<int32_t>(m.base));
  Byte(0x0B);
  Operand(static_cast<int32_t>(to), m);
}

void Assembler::Store32(Memory m, Gpr from) {
  Rex(false, static_cast<int32_t>(from), static_cast<int32_t>(m.base));
  Byte(0x89);
  Operand(static_cast<int32_t>(from), m);
}

void Assembler::TestLow8(Gpr r) { Bytes({0x84, static_cast<uint8_t>(0xC0 | (Low3(r) << 3) | Low3(r))}); }

void Assembler::Load(Xmm to, Memory m) { Sse(0xF2, 0x10, static_cast<int32_t>(to), m); }
void Assembler::Store(Memory m, Xmm from) { Sse(0xF2, 0x11, static_cast<int32_t>(from), m); }
void Assembler::Copy(Xmm to, Xmm from) { SseRegisters(0x66, 0x28, to, from); }
void Assembler::Apply(Scalar op, Xmm to, Memory m) { Sse(0xF2, static_cast<uint8_t>(op), static_cast<int32_t>(to), m); }
void Assembler::Apply(Scalar op, Xmm to, Xmm from) { SseRegisters(0xF2, static_cast<uint8_t>(op), to, from); }
void Assembler::Xor(Xmm to, Memory m) { Sse(0x66, 0x57, static_cast<int32_t>(to), m); }
void Assembler::And(Xmm to, Memory m) { Sse(0x66, 0x54, static_cast<int32_t>(to), m); }

void Assembler::Compare(Predicate p, Xmm to, Xmm from) {
  SseRegisters(0xF2, 0xC2, to, from);
  Byte(static_cast<uint8_t>(p));
}

void Assembler::UnorderedCompare(Xmm a, Memory b) { Sse(0x66, 0x2E, static_cast<int32_t>(a), b); }

Label Assembler::NewLabel() {
  labels_.push_back(-1);
  return {static_cast<int32_t>(labels_.size()) - 1};
}

void Assembler::Bind(Label label) { labels_[static_cast<size_t>(label.id)] = static_cast<int32_t>(code_.size()); }

void Assembler::JumpWith(std::initializer_list<uint8_t> opcode, Label label) {
  Bytes(opcode);
  jumps_.push_back({static_cast<int32_t>(code_.size()), label.id});
  Int32(0);
}

void Assembler::Jump(Label label) { JumpWith({0xE9}, label); }
void Assembler::JumpIf(Condition condition, Label label) {
  JumpWith({0x0F, static_cast<uint8_t>(0x80 | static_cast<uint8_t>(condition))}, label);
}

Memory Assembler::Literal(uint64_t low, uint64_t high) {
  for (size_t i = 0; i < literals_.size(); i += 2) {
    if (literals_[i] == low && literals_[i + 1] == high) return {Gpr::kRax, 0, static_cast<int32_t>(i / 2)};
  }
  literals_.push_back(low);
  literals_.push_back(high);
  return {Gpr::kRax, 0, static_cast<int32_t>(literals_.size() / 2 - 1)};
}

bool Assembler::Finish(uint8_t* code, uint8_t* pool) {
  auto patch = [this](int32_t at, int64_t target) {
    const auto relative = static_cast<int32_t>(target - (at + 4));
    std::memcpy(code_.data() + at, &relative, 4);
  };
  for (const Fixup& jump : jumps_) {
    const int32_t target = labels_[static_cast<size_t>(jump.target)];
    if (target < 0) return false;
    patch(jump.at, target);
  }
  const int64_t poolFromCode = pool - code;
  for (const Fixup& use : literalUses_) patch(use.at, poolFromCode + 16 * use.target);
  std::memcpy(code, code_.data(), code_.size());
  if (!literals_.empty()) std::memcpy(pool, literals_.data(), PoolBytes());
  return true;
}

}  // namespace native
