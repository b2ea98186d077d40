#include "evaluation/compiler/PendingPrograms.h"

#include "CoreUtilities/memory/MemoryBudget.h"
#include "evaluation/StackMachine.h"

namespace {

bool Reserve(PendingProgram* program) {
  if (program->count < program->capacity) return true;
  const int32_t capacity = program->capacity == 0 ? 16 : program->capacity * 2;
  auto* code = static_cast<PCodeOp*>(OurAllocateMemory(size_t(capacity) * sizeof(PCodeOp), false));
  if (code == nullptr || capacity <= program->capacity) {
    OurDisposeMemory(code);
    program->outOfMemory = true;
    return false;
  }
  if (program->count > 0) OurCopyMemory(code, program->code, size_t(program->count) * sizeof(PCodeOp));
  OurDisposeMemory(program->code);
  program->code = code;
  program->capacity = capacity;
  return true;
}

}  // namespace

bool AppendInstruction(PendingProgram* program, const PCodeOp& op) {
  if (!Reserve(program)) return false;
  program->code[program->count++] = op;
  return true;
}

bool InsertInstruction(PendingProgram* program, int32_t index, const PCodeOp& op) {
  if (index < 0 || index > program->count || !Reserve(program)) return false;
  OurCopyMemory(program->code + index + 1, program->code + index, size_t(program->count - index) * sizeof(PCodeOp));
  program->code[index] = op;
  ++program->count;
  return true;
}

void DeliverProgram(PendingProgram* program) {
  AStackMachine* machine = program->machine;
  if (machine != nullptr) {
    if (program->outOfMemory) {
      machine->fOutOfMemory = 1;
    } else {
      for (int32_t i = 0; i < program->count; ++i) {
        if (!machine->Add(program->code[i])) break;
      }
      if (program->writesShared) machine->fNaNRecovery = 1;
    }
    machine->Add(MakeOp(pcEnd));
    machine->FixLoops();
  }
  OurDisposeMemory(program->code);
  *program = PendingProgram{};
}

void DeliverPendingPrograms(StackMachineConstructorGlobals* state) {
  for (int32_t m = 0; m < state->machineCount; ++m) DeliverProgram(&state->machines[m]);
  state->machineCount = 0;
}

void AbandonPendingPrograms(StackMachineConstructorGlobals* state) {
  for (int32_t m = 0; m < state->machineCount; ++m) state->machines[m].outOfMemory = true;
  DeliverPendingPrograms(state);
}
