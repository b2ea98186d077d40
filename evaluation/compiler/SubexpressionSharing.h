#pragma once

#include <cstdint>

#include "CoreUtilities/memory/AListGenericLarge.h"
#include "evaluation/PCodeOp.h"
#include "expression/ExpressionRecord.h"

class AStackMachine;
class DocumentRecord;

// One computed, shared or hoisted subexpression, or one loop slot.
struct MSubexpression {
  ExpressionRecord* expression;  // a loop's index atom; null for a table loop
  int32_t machine;               // its machine in the scope's table; -1 for none
  int32_t slot;                  // temporary or hoisted slot; -1 while unassigned
  int32_t position;              // instruction count after its code; -1 for none
  int32_t loopSlot;              // 1 for slots of summation and table loops
};

using SubexpressionList = AListGenericLarge<MSubexpression, 6>;

// Instructions of a program being compiled. Code compiled inside a sharing
// scope stays here until EndCSE has inserted its stores.
struct PendingProgram {
  AStackMachine* machine;
  PCodeOp* code;
  int32_t count;
  int32_t capacity;
  bool outOfMemory;   // the program becomes the NaN program
  bool writesShared;  // later programs read values it stores
};

// The callers compile at most 12 expressions per scope.
inline constexpr int32_t kMostSharedMachines = 15;

// The calling thread's compiler state; all zero means no scope is open.
struct StackMachineConstructorGlobals {
  PendingProgram machines[kMostSharedMachines];
  int32_t machineCount;
  SubexpressionList* computed;
  SubexpressionList* temporaries;
  SubexpressionList* hoisting[3];
  int32_t rComputed;
  int32_t rhoComputed;
  int32_t thetaComputed;
  int32_t phiComputed;
  int32_t gridMode;
  int32_t* dataLoopStack;
  int32_t dataLoopCount;
  int32_t dataLoopCapacity;
};

// Null only when the memory budget refuses the record.
StackMachineConstructorGlobals* GetStackMachineConstructorGlobals();

// Opens a sharing scope on the calling thread. The programs compiled until
// EndCSE share subexpressions and must run in compile order over one
// variable array.
void BeginCSE();
// Inserts the stores of the shared values, hands every unguarded program
// of the scope its code and closes the scope. Returns the variable slots
// the scope's programs need.
int32_t EndCSE();

bool CSEisOK(const ExpressionRecord* node);
// True when the node can be replaced by one push (op's opcode and *slot).
// The caller has checked that the node reads no index of a loop around it;
// gridLevel is the grid level whose coordinate alone it uses (-1 for
// none), where a grid compilation hoists it.
bool AlreadyComputed(ExpressionRecord* node, int32_t gridLevel, PCodeOp* op, int32_t* slot, bool* outOfMemory);
int32_t GetSummationIndexVariable(const ExpressionRecord* indexVariable);

// An over that is the exponent, or part of the negated exponent, of a
// power whose base is not e.
bool IsFractionalPower(const ExpressionRecord* node);

// List helpers for the compiler; each false when memory is refused.
SubexpressionList* NewSubexpressionList();
void FreeSubexpressionList(SubexpressionList* list);
bool PushDataLoop(StackMachineConstructorGlobals* state, int32_t slot);
