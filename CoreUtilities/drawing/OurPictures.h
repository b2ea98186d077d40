#pragma once

#include "CoreUtilities/MRect.h"

struct OurPicture;

void OurDisposePicture(OurPicture* picture);  // null accepted
// A copy whose data is counted against the handle budget; null when refused.
OurPicture* OurCopyPicture(const OurPicture* picture);
void OurPictureRect(const OurPicture* picture, MRect* frame);

// For a picture placed with the bottom-left corner of its frame at (h, v):
// whether the point lies in it, and whether it overlaps the rectangle.
bool IsPointOverPicture(const OurPicture* picture, MPoint point, int h, int v);
bool IsPictureVisible(const OurPicture* picture, int h, int v, const MRect& rect);

// Renders the picture scaled with its top-left at (h, v) on white, then
// composes every pixel that is not white onto the current port inside the
// clip (OurComposeColors).
void OurDrawPicture(const OurPicture* picture, int h, int v, const MRect& clip, double scale);
