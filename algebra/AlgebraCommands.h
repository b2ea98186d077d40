#pragma once

#include "expression/MathEditRecord.h"

#include <cstdint>

// Runs the commands of an algebra command code (0x2000 to 0x2205) on the
// record's selection, the record current for the call. Codes without
// commands only redraw.
void RunAlgebraCommand(MERecord* record, int32_t code);

// Each side of an equation below the selection carries the operation around
// it: f(a = b) becomes f(a) = f(b).
void DISTRIBUTE_OverEquality();
