#pragma once

// What a grid program needs from the slots filled before its row: a row
// that point runs may take over copies every slot, so it needs them all.

#include <cstdint>

#include "evaluation/StackMachine.h"

// The instructions after which a point run may take a path of its own.
inline bool MayNeedPointRuns(int32_t opcode) {
  return opcode == pcLoopTest || opcode == pcPushRow || opcode == pcSetRow || opcode == pcCallFunction;
}

inline constexpr uint32_t kEveryCoordinateSlot = (1u << (kSlotZ + 1)) - 1;

// Bit s set when the program may read coordinate slot s (u, v, the slider,
// x, y or z).
inline uint32_t CoordinateSlotsRead(const AStackMachine& program) {
  uint32_t read = 0;
  for (int32_t pc = 0; pc < program.Count(); ++pc) {
    const PCodeOp& op = program.Code()[pc];
    if (MayNeedPointRuns(op.opcode)) return kEveryCoordinateSlot;
    if (op.opcode == pcPushVar && op.ids.a >= 0 && op.ids.a <= kSlotZ) read |= 1u << op.ids.a;
  }
  return read;
}
