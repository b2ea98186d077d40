#include "app/ExportLayout.h"

#include "document/DocumentContents.h"

#include <algorithm>
#include <cmath>

namespace {

// A new window's size.
constexpr int kNewWindowWidth = 640;
constexpr int kNewWindowHeight = 800;

}  // namespace

QSize DocumentWindowSize(const DocumentContents& contents) {
  const int16_t* r = contents.windowRect;  // top, left, bottom, right
  const int width = r[3] - r[1], height = r[2] - r[0];
  if (width > 0 && height > 0) return {width, height};
  return {kNewWindowWidth, kNewWindowHeight};
}

QSize ClampExportSize(QSize size) {
  const double width = size.width(), height = size.height();
  const double factor = std::min({1.0, kLargestExportSide / width, kLargestExportSide / height,
                                  std::sqrt(double(kLargestExportPixels) / (width * height))});
  if (factor == 1.0) return size;
  return {std::max(1, int(width * factor)), std::max(1, int(height * factor))};
}

ExportPanes LayOutExportPanes(const DocumentContents& contents, QSize size) {
  const int extent = contents.stackPanes ? size.height() : size.width();
  const int divider = contents.paneDivider > 0 && contents.paneDivider < extent ? contents.paneDivider : extent / 2;
  if (contents.stackPanes)
    return {QRect(0, 0, size.width(), divider), QRect(0, divider, size.width(), size.height() - divider)};
  return {QRect(0, 0, divider, size.height()), QRect(divider, 0, size.width() - divider, size.height())};
}
