#include "app/ExportLayout.h"

#include "document/DocumentContents.h"

#include <algorithm>

namespace {

// A new window's size.
constexpr int kNewWindowWidth = 640;
constexpr int kNewWindowHeight = 800;

}  // namespace

QSize DocumentWindowSize(const DocumentContents& contents) {
  const int16_t* r = contents.windowRect;  // top, left, bottom, right
  const int width = r[3] - r[1], height = r[2] - r[0];
  if (width > 0 && height > 0) return {std::min(width, kLargestExportSide), std::min(height, kLargestExportSide)};
  return {kNewWindowWidth, kNewWindowHeight};
}

ExportPanes LayOutExportPanes(const DocumentContents& contents, QSize size) {
  const int extent = contents.stackPanes ? size.height() : size.width();
  const int divider = contents.paneDivider > 0 && contents.paneDivider < extent ? contents.paneDivider : extent / 2;
  if (contents.stackPanes)
    return {QRect(0, 0, size.width(), divider), QRect(0, divider, size.width(), size.height() - divider)};
  return {QRect(0, 0, divider, size.height()), QRect(divider, 0, size.width() - divider, size.height())};
}
