#include "graphs2d/PointMarkers.h"

#include <cmath>

#include "platform/CheckedConvert.h"
#include "CoreUtilities/drawing/OurDrawing.h"
#include "CoreUtilities/text/OurFontDesc.h"
#include "CoreUtilities/text/OurTextDrawing.h"
#include "CoreUtilities/text/OurTextMeasure.h"
#include "CoreUtilities/drawing/ScopedSavers.h"

namespace {
void DrawAt(const UniChar* text, const OurFontDesc& font, int h, int v, uint32_t rgb, const MRect& clip) {
  APushClip pushClip(clip);
  OurRGBForeColor(rgb);
  OurMoveTo(h, v);
  OurDrawString(text, font);
}

int32_t HalfAscent(const UniChar* text, const OurFontDesc& font) {
  return DoubleToInt32(std::trunc(OurStringAscent(text, font) / 2));
}
}  // namespace

int32_t DrawCenteredSymbol(const UniChar* text, int h, int v, double size, uint32_t rgb, const MRect& clip) {
  const OurFontDesc font(gAxesTypeFace, static_cast<float>(size), false, false);
  const int32_t width = DoubleToInt32(std::trunc(OurStringWidth(text, font)));
  DrawAt(text, font, h - width / 2, v + HalfAscent(text, font), rgb, clip);
  return width;
}

void DrawPointLabel(const UniChar* text, int h, int v, double size, uint32_t rgb, const MRect& clip) {
  const OurFontDesc font(gAxesTypeFace, static_cast<float>(size), false, false);
  DrawAt(text, font, h, v + HalfAscent(text, font), rgb, clip);
}
