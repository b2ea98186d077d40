#pragma once

#include "CoreUtilities/text/UniChar.h"

// A string value in a program is a number naming a text, so that it
// survives every value type's cell (the real part of a Complex, the lower
// end of an Interval). Texts are copied once into a process-wide table and
// live until exit, so a value never outlives its text; equal texts share
// one number. 0 names the null text.
double StringValueOfText(const UniChar* text);
// Null for 0, for NaN and for any number that names no text.
const UniChar* TextOfStringValue(double value);
