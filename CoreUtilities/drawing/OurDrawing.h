#pragma once

#include "CoreUtilities/MRect.h"

#include <QColor>

#include <cstdint>

// Pen, colours and rectangle drawing of the current port; each does nothing
// when there is no current port.

void OurMoveTo(int h, int v);
void OurMove(int dh, int dv);
void OurLineTo(int h, int v);  // both end pixels drawn
void OurLineToWithEndpoints(int h, int v);
void OurPoint(int h, int v);

void OurPenNormal();     // 1 x 1, copy mode, black pattern
void OurPenSize(int n);  // n x n
void OurPenXor();
void OurPenPatBlack();
void OurPenPatGray();

void OurForeColorBlack();
void OurBackColorWhite();
void OurRGBForeColor(uint32_t rgb);  // 0xRRGGBB
void OurRGBBackColor(uint32_t rgb);
void OurTextModeTransparent();

// A colour as 16-bit channels, each byte repeated in both halves, and back.
QColor ToPlatformColor(uint32_t rgb);
uint32_t FromPlatformColor(const QColor& color);

void OurClipRect(const MRect& r);
void OurEraseRect(const MRect& r);
void OurPaintRect(const MRect& r);
void OurFrameRect(const MRect& r);
void OurInvertRect(const MRect& r);
