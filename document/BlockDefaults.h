#pragma once

#include "document/DocumentContents.h"

// Each frees what the block held and makes it a fresh block of its kind;
// an equation gets Color 1, Grain 0.5, Opacity 1, PlottingMode 2, XYType 1.
void SetEquationDefaults(MBlock& block);
void SetTextDefaults(MBlock& block);
