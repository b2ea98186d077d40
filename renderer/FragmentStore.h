#pragma once

#include <cstdint>

#include "CoreUtilities/MRect.h"

struct MDrawContext;

// A translucent sample into the cell's list, kept far to near; an equal
// depth goes nearer than what is stored. False when no chunk could be had
// for it (the count is then unchanged).
bool InsertFragment(MDrawContext* ctx, int32_t cell, double depth, uint32_t argb);

// Composites every cell's list, far to near, over the pixels of target
// (rows and columns of the picture at base); a pixel's cell is its place
// less headOffset, counted in buffer columns.
void CompositeFragments(const MDrawContext* ctx, uint8_t* base, long rowBytes, const MRect& target, MPoint headOffset);
