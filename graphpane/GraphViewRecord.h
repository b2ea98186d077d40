#pragma once

#include <cstdint>
#include <initializer_list>

struct MDrawContext;

// The coordinate-display fields, which also name the ranges a view keeps.
enum CoordDisplayParam : int32_t {
  kCoordX = 0,
  kCoordY = 1,
  kCoordZ = 2,
  kCoordW = 3,
  kCoordXPrime = 4,
  kCoordYPrime = 5,
  kCoordZPrime = 6,
  kCoordR = 7,
  kCoordTheta = 8,
  kCoordPhi = 9,
  kCoordT = 10,
  kCoordU = 11,
  kCoordV = 12,
};
inline constexpr int32_t kCoordDisplayParamCount = 13;

// What the pane and the document read and write of every view. Graphs
// keep references to the ranges, so edits reach running graphs; a view
// keeps only the ranges its kind samples (x, y, z, w by their own numbers,
// the primed numbers unused).
struct GraphViewRecord {
  double ranges[kCoordDisplayParamCount][2] = {
      {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 6.283185307179586},
      {0, 1}, {0, 1}, {0, 1}, {0, 1}};
  uint32_t keptRanges = 0;  // bit p: the view keeps range p
  int32_t axesShown = 1;
  int32_t graphPaperShown = 0;
  bool marked = false;
  // Rotation per frame while spinning; the 4-D view turns two ways.
  double spinAngle[2] = {0, 0};
  // Set to 1.2 at the start of every pass of adding equations.
  double passValue = 1.2;
  MDrawContext* drawContext = nullptr;

  bool Keeps(int32_t p) const { return p >= 0 && p < kCoordDisplayParamCount && (keptRanges >> p & 1) != 0; }
};

inline constexpr uint32_t RangeBits(std::initializer_list<int32_t> params) {
  uint32_t bits = 0;
  for (int32_t p : params) bits |= 1u << p;
  return bits;
}
