#pragma once

#include <cstdint>

#include "evaluation/PCodeOp.h"
#include "evaluation/compiler/SubexpressionSharing.h"

// Code under construction, grown from 16 instructions by doubling from the
// memory budget. A refused growth sets the program's out-of-memory flag.
bool AppendInstruction(PendingProgram* program, const PCodeOp& op);
bool InsertInstruction(PendingProgram* program, int32_t index, const PCodeOp& op);

// Hands the code to its machine, ends it with pcEnd and pairs its loops; an
// out-of-memory program becomes pcEnd alone, which yields NaN. The buffer
// is freed.
void DeliverProgram(PendingProgram* program);
// Every program of the scope's machine table, which is then empty.
void DeliverPendingPrograms(StackMachineConstructorGlobals* state);
// The same for a scope that was never closed: its stores are missing, so
// each of its programs becomes the NaN program.
void AbandonPendingPrograms(StackMachineConstructorGlobals* state);
