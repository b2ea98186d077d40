#include <algorithm>

#include "platform/CheckedConvert.h"
#include "CoreUtilities/drawing/HSVColor.h"
#include "CoreUtilities/drawing/OurDrawing.h"
#include "CoreUtilities/drawing/OurPictures.h"
#include "CoreUtilities/drawing/OurRects.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/GraphColorConstants.h"

namespace {

constexpr uint32_t kBlack = 0x000000;

// A fully saturated, full-value hue in turns, packed 0x00RRGGBB.
uint32_t HueColor(double turns) {
  double r = 0, g = 0, b = 0;
  OurHSVtoRGB(turns, 1.0, 1.0, &r, &g, &b);
  return PackColor(r, g, b);
}

uint32_t Alternating(int i) { return (i / 4) % 2 == 0 ? kBlack : kLegendGray; }

void Row(const MRect& r, int row, uint32_t colour) {
  OurRGBForeColor(colour);
  OurMoveTo(r.left, r.top + row);
  OurLineTo(r.right - 1, r.top + row);
}

void Column(const MRect& r, int column, uint32_t colour) {
  OurRGBForeColor(colour);
  OurMoveTo(r.left + column, r.top);
  OurLineTo(r.left + column, r.bottom - 1);
}

void DrawSwatch(GraphColorType type, uint32_t solid, const MRect& r) {
  const int width = r.right - r.left, height = r.bottom - r.top;
  switch (type) {
    case AGraphColor::kSolid:
      OurRGBForeColor(solid);
      OurPaintRect(r);
      break;
    case AGraphColor::kCheckerboard:
      for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
          OurRGBForeColor((row / 4 + column / 4) % 2 == 0 ? kBlack : kLegendGray);
          OurPoint(r.left + column, r.top + row);
        }
      }
      break;
    case AGraphColor::kHorizontalStripes:
      for (int row = 0; row < height; ++row) Row(r, row, Alternating(row));
      break;
    case AGraphColor::kVerticalStripes:
      for (int column = 0; column < width; ++column) Column(r, column, Alternating(column));
      break;
    case AGraphColor::kHueGradientDown:
      for (int row = 0; row < height; ++row) Row(r, row, HueColor(double(row) / height));
      break;
    case AGraphColor::kHueGradientAcross:
      for (int column = 0; column < width; ++column) Column(r, column, HueColor(double(column) / width));
      break;
    case AGraphColor::kHueBandsDown:
      for (int row = 0; row < height; ++row) Row(r, row, HueColor((row / 4) / 6.0));
      break;
    case AGraphColor::kHueBandsAcross:
      for (int column = 0; column < width; ++column) Column(r, column, HueColor((column / 4) / 6.0));
      break;
    case AGraphColor::kHidden:
      OurRGBForeColor(kBlack);
      OurFrameRect(r);
      OurMoveTo(r.left, r.top);
      OurLineTo(r.right - 1, r.bottom - 1);
      OurMoveTo(r.right - 1, r.top);
      OurLineTo(r.left, r.bottom - 1);
      break;
    default:  // pictures and equations have no swatch
      break;
  }
}

}  // namespace

void AGraphColor::DrawLegend(const MRect& r) const {
  if (!IsOurRectEmpty(r)) DrawSwatch(fType, fSolidColor, r);
  OurForeColorBlack();
}

int32_t AGraphColor::GetPictureWidth() const {
  if (fPicture == nullptr) return 0;
  MRect frame;
  OurPictureRect(fPicture, &frame);
  return frame.right - frame.left;
}

void AGraphColor::DrawCenteredPicture(int h, int v, const MRect& clip, int factor) const {
  if (fPicture == nullptr) return;
  MRect frame;
  OurPictureRect(fPicture, &frame);
  const long width = frame.right - frame.left, height = frame.bottom - frame.top;
  OurDrawPicture(fPicture, DoubleToInt32(h - double(width * factor / 2)),
                 DoubleToInt32(v - double(height * factor / 2)), clip, factor);
}

void AGraphColor::DrawCenteredPictureScaledToSize(int h, int v, const MRect& clip, int size) const {
  if (fPicture == nullptr) return;
  MRect frame;
  OurPictureRect(fPicture, &frame);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const int larger = std::max(width, height);
  if (larger <= 0) return;  // an empty picture has no scale
  const double s = double(size) / larger;
  OurDrawPicture(fPicture, DoubleToInt32(h - 0.5 * s * width), DoubleToInt32(v - 0.5 * s * height), clip, s);
}
