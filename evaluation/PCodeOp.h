#pragma once

#include <cstdint>
#include <climits>

#include "evaluation/PCodeTable.h"

// The opcodes of the stack machine, numbered as in the table.
enum PCodeOpcode : int32_t {
#define ZL_PCODE_ENUM(name, number, ...) name = number,
  ZL_PCODE_TABLE(ZL_PCODE_ENUM)
#undef ZL_PCODE_ENUM
};

inline constexpr int32_t kPCodeOpcodeCount = 0
#define ZL_PCODE_COUNT(...) +1
    ZL_PCODE_TABLE(ZL_PCODE_COUNT)
#undef ZL_PCODE_COUNT
    ;

// Programs are read back by number, so the numbers are written in the
// table and pinned here: each row's number is its place, no gap, no repeat.
namespace pcode_numbering {
inline constexpr int32_t kNumbers[] = {
#define ZL_PCODE_NUMBER(name, number, ...) number,
    ZL_PCODE_TABLE(ZL_PCODE_NUMBER)
#undef ZL_PCODE_NUMBER
};
constexpr bool EachNumberIsItsPlace() {
  for (int32_t i = 0; i < kPCodeOpcodeCount; ++i)
    if (kNumbers[i] != i) return false;
  return true;
}
static_assert(EachNumberIsItsPlace());
}  // namespace pcode_numbering

// The read and change of the instructions whose stack use follows from a.
inline constexpr int32_t kByA = INT32_MIN;

enum class PCodeSlots : int8_t { kNoSlots, kVariables, kTemporaries };

// One row of the table (see PCodeTable.h for the columns).
struct PCodeInfo {
  const char* name;
  int32_t read;
  int32_t change;
  int32_t extent;
  PCodeSlots base;
  int32_t firstWritten;
  int32_t lastWritten;
  bool recovers;
  const char* effect;
};

inline constexpr PCodeInfo kPCodeInfo[] = {
#define ZL_PCODE_INFO(name, number, read, change, extent, base, first, last, recovers, effect) \
  {#name, read, change, extent, PCodeSlots::base, first, last, recovers, effect},
    ZL_PCODE_TABLE(ZL_PCODE_INFO)
#undef ZL_PCODE_INFO
};

// Null for a number outside the table.
inline const PCodeInfo* PCodeInfoOf(int32_t opcode) {
  return opcode >= 0 && opcode < kPCodeOpcodeCount ? &kPCodeInfo[opcode] : nullptr;
}

struct PCodeIds {
  int32_t a;  // slot, temporary, constant, column or variable id, or a count
  int32_t b;  // jump distance, function number or second id
};

// One instruction: 16 bytes. Only pcPushNumber carries the double.
struct PCodeOp {
  int32_t opcode;
  union {
    double number;
    PCodeIds ids;
  };
};

inline PCodeOp MakeNumberOp(double value) {
  PCodeOp op{};
  op.opcode = pcPushNumber;
  op.number = value;
  return op;
}

inline PCodeOp MakeOp(int32_t opcode, int32_t a = 0, int32_t b = 0) {
  PCodeOp op{};
  op.opcode = opcode;
  op.ids = {a, b};
  return op;
}
