#pragma once

#include <cstdint>

#include "renderer/AVector.h"
#include "renderer/DrawContext.h"

// The mesh every 3-D point is drawn from: an octahedron split three times,
// its vertices on the unit sphere, its triangles wound outward.
constexpr int32_t kUnitSphereVertices = 258;
constexpr int32_t kUnitSphereTriangles = 512;

struct UnitSphereMesh {
  AVector vertices[kUnitSphereVertices];
  Triangle triangles[kUnitSphereTriangles];
};

// Built on first use, from any thread, and kept for the program's life.
const UnitSphereMesh& UnitSphere();
