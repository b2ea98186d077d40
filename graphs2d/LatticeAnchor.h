#pragma once

#include <cstdint>

struct A2DTransform;

// Edge offsets in pixels of a lattice of the given spacing anchored on the
// axes: six pixels left of the y axis's column modulo the spacing and on
// the x axis's row, or half a spacing from the edge for an axis off the
// view.
void LatticeEdgeOffsets(const A2DTransform& transform, int32_t spacing, int32_t* xOffset, int32_t* yOffset);
