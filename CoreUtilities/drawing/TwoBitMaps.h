#pragma once

#include "CoreUtilities/MRect.h"

#include <cstddef>
#include <cstdint>

// Maps of two bits per pixel, four pixels a byte with the leftmost pixel in
// the two highest bits. A map is its bits, its rowBytes and its frame: the
// local coordinates of its pixels. Rectangles are in frame coordinates and
// are clipped to the frame; nothing here writes outside the map.

enum TwoBitCode : uint8_t {
  kTwoBitEmpty = 0,  // destination left unchanged
  kTwoBitTint = 1,   // the colour lightened halfway to white
  kTwoBitGray = 2,   // the destination's brightness as grey
  kTwoBitFull = 3,   // the colour itself
};

void OurFast2BitPaintRect(uint8_t* bits, long rowBytes, const MRect& frame, const MRect& rect, int code);

// Copies exactly the pixels of the destination rectangle (clipped to both
// maps) from the same-sized source rectangle, whatever the pixel phases.
void OurTwoBitCopyRect(const uint8_t* sourceBits, long sourceRowBytes, const MRect& sourceFrame,
                       const MRect& sourceRect, uint8_t* destinationBits, long destinationRowBytes,
                       const MRect& destinationFrame, const MRect& destinationRect);

// Moves the whole map dh pixels right and dv rows down; exposed pixels get 0.
void OurTwoBitScrollRect(uint8_t* bits, long rowBytes, const MRect& frame, int dh, int dv);

// Composes the map, whose first byte holds the top-left pixel of sourceRect,
// onto the current port's pixels in destinationRect in the given colour.
// Nothing when the two rectangles differ in size.
void OurCopy2BitToCurrentPort(const uint8_t* bits, long rowBytes, const MRect& sourceRect, uint32_t color,
                              const MRect& destinationRect);

// Composes the colour itself onto each pixel of the current port that the
// rectangles (in its coordinates) cover, once however many cover it: the
// pixels a map of the whole port would give. Rectangles that each meet only
// the one before them, as a curve's columns do, go straight onto the port;
// others through a map just the size of their common box, so the memory
// and the work follow the ink. False when the map's memory was refused.
bool OurCompose2BitRects(const MRect* rects, size_t count, uint32_t color);
