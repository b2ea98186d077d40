#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "evaluation/StackMachine.h"

// Stack-machine programs as text, one instruction per line:
//   pcPushNumber 2.5
//   pcLoopTest 0        (b left out: loop distances are filled in)
//   pcSkipIfZero 3 1
// Opcodes may be written by name or by number; '#' starts a comment.
// Numbers are read and written locale-independently and round-trip exactly.

// The program, or null with `error` describing the first bad line. A
// missing final pcEnd is added.
std::unique_ptr<AStackMachine> AssembleProgram(std::string_view text, std::string* error);

// One line per instruction, in the form AssembleProgram reads.
std::string DisassembleProgram(const AStackMachine& machine);

const char* OpcodeName(int32_t opcode);  // null for an unknown opcode
