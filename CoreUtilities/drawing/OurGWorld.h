#pragma once

#include "CoreUtilities/MRect.h"

#include <cstdint>

struct OurPort;

// Offscreen worlds: 32-bit ports in local memory, never purged.
OurPort* OurNewGWorld(const MRect& bounds);  // null when empty or refused
void OurDisposeGWorld(OurPort* world);       // null accepted
bool OurLockPixels(OurPort* world);          // true when locked
void OurUnlockPixels(OurPort* world);
void OurLockPixelsAndAssert(OurPort* world);
bool IsOurGWorldPurged(OurPort* world);  // true for null

// Of the given world, or of the current port when null.
uint8_t* GetBaseAddress(OurPort* world = nullptr);
long GetRowBytes(OurPort* world = nullptr);
MRect GetBounds(OurPort* world = nullptr);
MRect GetPortRect(OurPort* world = nullptr);

// Plain copy, scaled by nearest neighbour when the sizes differ, through the
// destination's clip.
void OurCopyGWorldToGWorld(OurPort* source, OurPort* destination, const MRect& sourceRect,
                           const MRect& destinationRect);
void OurCopyCurrentPortToGWorld(OurPort* world, const MRect& sourceRect, const MRect& destinationRect);
// A source exactly twice the destination is reduced smoothly (each pixel the
// mean of four); other sizes are copied as above.
void OurCopyGWorldToCurrentPort(OurPort* world, const MRect& sourceRect, const MRect& destinationRect);
void OurCopyGWorldToCurrentPort(OurPort* world, const MRect& rect);
// The smooth 2:1 reduction into a port, through its clip.
void CopyBitsWithCG(OurPort* source, OurPort* destination, const MRect& sourceRect, const MRect& destinationRect);
void OurBlendGWorldToCurrentPort(OurPort* world, const MRect& rect);  // 50 per cent
