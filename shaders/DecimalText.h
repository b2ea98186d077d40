#pragma once

#include <cstdint>
#include <string>

// Numbers appended to program texts as printf would write them, at a
// fraction of its cost.

// "%d"
void AppendDecimal(std::string& text, int32_t value);
// "% W.Pf" for P up to 100: the exact value rounded to P decimals (half to
// even, as the C library does), a space or minus sign before it,
// right-aligned in W.
void AppendFixedDecimal(std::string& text, double value, int width, int precision);
