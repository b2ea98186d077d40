#pragma once

#include "renderer/DrawContext.h"

// Which side of a lit triangle faces the viewer, one rule for both
// renderers. A triangle's front is the side about which its corners turn
// counterclockwise, and that side must be the one its normals point to:
// how a graph lays out its grid or its box's reversed ranges must not
// decide which side is lit. A box with an odd number of reversed axes
// mirrors the model and with it every triangle's turn, so the renderers
// take the front as turning clockwise there.

// Turns each triangle whose corners run clockwise about the sum of its
// corners' unit normals, by swapping its last two corners. Triangles with
// an index outside the vertices, no area or no usable normal stay as they
// are.
void TurnTrianglesToNormals(const Vertex* vertices, const Vertex* normals, int vertexCount, Triangle* triangles,
                            int triangleCount);

// True when the box's scales (4 over each axis's extent) mirror the model:
// an odd number of them negative.
bool MirrorsModel(const double (&scale)[3]);
