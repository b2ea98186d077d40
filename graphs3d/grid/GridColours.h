#pragma once

#include <cstdint>

#include "evaluation/ColorEquations.h"
#include "graphs3d/grid/GridMesh.h"
#include "renderer/DrawContext.h"

class AGraphColor;

// Colour maps of grid surfaces, shared by the 3-D and 4-D ones.

// Colour codes 1 to 8 are solid colours: a solid colour set to one stays
// solid.
inline bool IsSolidColourCode(double value) { return value >= 1 && value <= 8; }

// Vertex copies per grid point: 2 for a discrete colour, else 1.
int32_t GridVertexCopies(GraphColorType type);
// How a discrete colour's cells take their corners' copies.
CornerCopies GridCornerCopies(GraphColorType type);
// Colour maps, pictures and colour equations give each point something of
// its own; the solid colour, a fragment program and hidden nothing.
bool ColoursEachGridPoint(GraphColorType type);
// The colours a map type (gradients, discrete types) gives point (i, j) of
// an n x n grid: one entry, or copies 0 and 1 for a discrete type, so that
// every cell shows one colour. Other types write nothing.
void GridMapColours(GraphColorType type, int32_t i, int32_t j, int32_t n, ColorArrayElement* out);
// A picture's texture coordinates at point (i, j) of an n x n grid.
TexCoord GridTexCoord(int32_t i, int32_t j, int32_t n);
// What point (i, j) of an n x n grid, at (u, v) and coordinates p (w is 0
// in 3-D), takes from its colour: the equations' colour, a picture's texture
// coordinate, or a map's colours for its copies.
void ColourGridPoint(AGraphColor& colour, GraphColorType type, int32_t i, int32_t j, int32_t n, int32_t copies,
                     double u, double v, const double (&p)[4], ColorArrayElement* colours, TexCoord* texCoords);
