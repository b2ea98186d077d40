#pragma once

#include <cstdint>
#include <memory>

#include "CoreUtilities/MRect.h"

class QImage;
struct OurPort;

inline constexpr int kFloorPatternId = 507;
inline constexpr int kRightWallPatternId = 508;
inline constexpr int kLeftWallPatternId = 509;

// Frees a pattern: the deleter of its handle.
void OurDisposePattern(QImage* pattern);
struct PatternDeleter {
  void operator()(QImage* pattern) const { OurDisposePattern(pattern); }
};
using Pattern = std::unique_ptr<QImage, PatternDeleter>;

// A colour pattern of the application's resources; null when missing.
Pattern OurGetPattern(int resourceId);

// Draws the patterned background of kind 1 (floor and two walls) or 2
// (floor) over the world's whole port rectangle; white when a pattern is
// missing.
void DrawPatternBackground(OurPort* world, int32_t backgroundType);

// The pattern of the resource id, loaded at first need and kept until
// released; null when missing.
const QImage* LoadedPattern(int resourceId);

void ReleaseBackgroundPatterns();
