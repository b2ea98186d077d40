#pragma once

#include "platform/OurPort.h"

#include <QRect>

// Copies of pixels between ports, written through the destination's clip
// region. Source pixels outside the source's bounds are not copied.

// Nearest neighbour: destination pixel i of a row takes source pixel
// i * sourceWidth / destinationWidth (rounded down), and likewise by rows.
void CopyPortPixels(const OurPort& source, OurPort& destination, const QRect& sourceRect, const QRect& destinationRect);

// The source is exactly twice the destination in each direction: every
// destination pixel is the rounded mean of its 2 x 2 source pixels, per channel.
void ReducePortPixelsByHalf(const OurPort& source, OurPort& destination, const QRect& sourceRect,
                            const QRect& destinationRect);

// Each channel becomes (source + destination) / 2, rounded down, over the
// same rectangle of both ports.
void BlendPortPixels(const OurPort& source, OurPort& destination, const QRect& rect);
