#include <algorithm>
#include <cmath>
#include <optional>

#include "platform/CheckedConvert.h"
#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/MathConstants.h"
#include "CoreUtilities/drawing/OurDrawing.h"
#include "CoreUtilities/text/NumberText.h"
#include "CoreUtilities/text/OurFontDesc.h"
#include "CoreUtilities/text/OurTextDrawing.h"
#include "CoreUtilities/text/OurTextMeasure.h"
#include "graphpane/AGraphColor.h"
#include "graphs2d/A2DViewWindow.h"

const char* gAxesTypeFace = "Lucida Grande";

namespace {
constexpr int kPrecisionLostError = 37;
constexpr int kAxisDigits = 6;
// How near a scale's leading digits lie to 1, 2 or 5 to be of the family.
constexpr double kFamilyTolerance = 1e-9;

const OurFontDesc& XAxisFont() {
  static const OurFontDesc font(gAxesTypeFace, 9, false, false);
  return font;
}
const OurFontDesc& YAxisFont() {
  static const OurFontDesc font(gAxesTypeFace, 9, false, false);
  return font;
}

// The first multiple of the spacing at or above the minimum, or NaN (with
// error 37 queued) when the spacing is lost in the precision of the values.
double FirstMarkOrNaN(double minimum, double spacing) {
  const double first = FirstMultipleAtOrAbove(minimum, spacing);
  if (first == first - spacing || std::fabs(spacing / first) < 16 * gDoubleEpsilon || !std::isfinite(first)) {
    QueueError(kPrecisionLostError);
    return gNaN;
  }
  return first;
}

// Multiples first, first + s, ... up to last, each as a value without a
// negative zero. Sound spacing puts marks pixels apart, so an axis of that
// many pixels never holds more: the bound stops a scale so small that the
// view's own bounds are lost.
template <typename Visit>
void ForEachMultiple(double first, double spacing, double last, int32_t pixels, Visit visit) {
  if (std::isnan(first)) return;
  for (int32_t k = 0; k <= pixels; ++k) {
    const double value = first + k * spacing + 0.0;
    if (value > last) break;
    visit(value);
  }
}
// The pen position along one direction that keeps the text's extent
// [pen - before, pen + after) whole inside [low, high): the pen itself when
// the text fits there, else the nearest place where it does; nullopt when
// it fits nowhere. A number cut at the pane's edge would read as another.
std::optional<int32_t> PenInside(int32_t pen, int32_t before, int32_t after, int32_t low, int32_t high) {
  if (high - low < before + after) return std::nullopt;
  return std::clamp(pen, low + before, high - after);
}

// The pixels a number's ink takes about its pen: to the right, above and
// below the baseline.
struct NumberExtent {
  int32_t width, ascent, descent;
};
NumberExtent ExtentOf(const UniChar* text, const OurFontDesc& font) {
  return {DoubleToInt32(std::ceil(OurStringWidth(text, font))), DoubleToInt32(std::ceil(OurStringAscent(text, font))),
          DoubleToInt32(std::ceil(OurStringDescent(text, font)))};
}

// A scale outside the 1, 2.5, 5 family (one fitted to asked ranges, or a
// document's) marks its axes as the family's nearest scale does, with that
// scale's tick state, so that the numbers stay round.
double MarkScale(double scale, int32_t* tickState) {
  if (!(std::isfinite(scale) && scale > 0)) return scale;
  const double twice = 2 * scale;
  double power = std::pow(10.0, std::floor(std::log10(twice)));
  const double m = twice / power;
  for (double d : {1.0, 2.0, 5.0, 10.0})
    if (std::fabs(m - d) <= kFamilyTolerance * d) return scale;
  double nearest = 1;
  for (double d : {2.0, 5.0, 10.0})
    if (std::fabs(std::log(m / d)) < std::fabs(std::log(m / nearest))) nearest = d;
  if (nearest == 10) nearest = 1, power *= 10;
  *tickState = nearest == 1 ? 2 : nearest == 2 ? 5 : 1;
  return nearest * power / 2;
}
}  // namespace

double TickSpacing(double scale, int32_t tickState) {
  scale = MarkScale(scale, &tickState);
  switch (tickState) {
    case 2: return 2 * scale;
    case 5: return scale;
    default: return 4 * scale;
  }
}

double NumberSpacing(double scale, int32_t tickState) {
  scale = MarkScale(scale, &tickState);
  return (tickState == 5 ? 5 : 4) * scale;
}

double FirstMultipleAtOrAbove(double minimum, double spacing) {
  double first = minimum - std::fmod(minimum, spacing);
  if (first < minimum) first += spacing;
  return first;
}

A2DViewWindow::AxesPlace A2DViewWindow::PlaceAxes() const {
  const MRect& r = fViewRect;
  const int32_t row = fViewTransform.YTOI_InfSafe(0), column = fViewTransform.XTOI_InfSafe(0);
  AxesPlace place;
  place.row = std::clamp<int32_t>(row, r.top + 6, std::max(r.top + 6, r.bottom - 15));
  place.column = std::clamp<int32_t>(column, r.left + 6, std::max(r.left + 6, r.right - 7));
  place.rowPinned = place.row != row;
  place.columnPinned = place.column != column;
  return place;
}

void A2DViewWindow::DrawAxes(const AGraphColor* colour) const {
  OurPenNormal();
  if (colour) {
    OurRGBForeColor(colour->fSolidColor);
  } else {
    OurForeColorBlack();
  }
  OurTextModeTransparent();
  const AxesPlace place = PlaceAxes();
  DrawXAxis(place);
  DrawYAxis(place);
  OurPenNormal();
}

void A2DViewWindow::DrawXAxis(const AxesPlace& place) const {
  const MRect& r = fViewRect;
  const A2DTransform& t = fViewTransform;
  const int32_t row = place.row;
  if (place.rowPinned) OurPenPatGray();
  OurMoveTo(r.left, row);
  OurLineTo(r.right - 1, row);
  const double last = t.ITOX(r.right - 1);
  const double ticks = TickSpacing(fState.xScale, fState.xTickState);
  const int32_t pixels = r.right - r.left;
  ForEachMultiple(FirstMarkOrNaN(fState.xMinimum, ticks), ticks, last, pixels, [&](double x) {
    const int32_t h = t.XTOI_InfSafe(x);
    OurMoveTo(h, row - 3);
    OurLineTo(h, row + 3);
  });
  OurPenPatBlack();
  const double numbers = NumberSpacing(fState.xScale, fState.xTickState);
  ForEachMultiple(FirstMarkOrNaN(fState.xMinimum, numbers), numbers, last, pixels, [&](double x) {
    const int32_t h = t.XTOI_InfSafe(x);
    if (std::abs(h - place.column) <= 3) return;
    UniChar text[kNumberTextCapacity];
    OurDoubleToString(text, x, kAxisDigits);
    const float width = OurStringWidth(text, XAxisFont());
    const NumberExtent extent = ExtentOf(text, XAxisFont());
    // Slides along the axis into the pane; never off its row.
    const std::optional<int32_t> left =
        PenInside(DoubleToInt32(static_cast<float>(h - width / 2)), 0, extent.width, r.left, r.right);
    const int32_t baseline = row + 13;
    if (!left || PenInside(baseline, extent.ascent, extent.descent, r.top, r.bottom) != baseline) return;
    OurMoveTo(*left, baseline);
    OurDrawString(text, XAxisFont());
  });
}

void A2DViewWindow::DrawYAxis(const AxesPlace& place) const {
  const MRect& r = fViewRect;
  const A2DTransform& t = fViewTransform;
  const int32_t column = place.column;
  if (place.columnPinned) OurPenPatGray();
  OurMoveTo(column, r.top);
  OurLineTo(column, r.bottom - 1);
  const double last = t.ITOY(r.top);
  const double ticks = TickSpacing(fState.yScale, fState.yTickState);
  const int32_t pixels = r.bottom - r.top;
  ForEachMultiple(FirstMarkOrNaN(fState.yMinimum, ticks), ticks, last, pixels, [&](double y) {
    const int32_t v = t.YTOI_InfSafe(y);
    OurMoveTo(column - 3, v);
    OurLineTo(column + 3, v);
  });
  OurPenPatBlack();
  const bool rowPinnedAtTop = place.rowPinned && place.row == r.top + 6;
  const double numbers = NumberSpacing(fState.yScale, fState.yTickState);
  ForEachMultiple(FirstMarkOrNaN(fState.yMinimum, numbers), numbers, last, pixels, [&](double y) {
    const int32_t v = t.YTOI_InfSafe(y);
    if (std::abs(v - place.row) <= 4 || (rowPinnedAtTop && v < place.row)) return;
    UniChar text[kNumberTextCapacity];
    OurDoubleToString(text, y, kAxisDigits);
    const int32_t width = DoubleToInt32(OurStringWidth(text, YAxisFont()));
    int32_t left = column - width - 3;
    if (left < r.left + 1) left = column + 6;
    const NumberExtent extent = ExtentOf(text, YAxisFont());
    // Slides along the axis into the pane; never across it.
    const std::optional<int32_t> baseline = PenInside(v + 4, extent.ascent, extent.descent, r.top, r.bottom);
    if (!baseline || PenInside(left, 0, extent.width, r.left, r.right) != left) return;
    OurMoveTo(left, *baseline);
    OurDrawString(text, YAxisFont());
  });
}
