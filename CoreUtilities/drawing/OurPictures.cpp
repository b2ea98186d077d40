#include "CoreUtilities/drawing/OurPictures.h"

#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/drawing/OurRects.h"
#include "CoreUtilities/drawing/PixelBuffer.h"
#include "CoreUtilities/drawing/PixelColors.h"
#include "platform/CheckedConvert.h"
#include "platform/OurPicture.h"
#include "platform/OurPort.h"

#include <cmath>
#include <cstring>
#include <memory>

namespace {

MRect PlacedFrame(const OurPicture& picture, int h, int v) {
  MRect placed = ToMRect(QRect(QPoint(0, 0), picture.frame.size()));
  OurOffsetRect(&placed, h, v - picture.frame.height());
  return placed;
}

}  // namespace

void OurDisposePicture(OurPicture* picture) { delete picture; }

OurPicture* OurCopyPicture(const OurPicture* picture) {
  if (picture == nullptr) return nullptr;
  const size_t imageBytes = static_cast<size_t>(picture->image.sizeInBytes());
  const size_t bytes =
      imageBytes + static_cast<size_t>(picture->recording.size()) + static_cast<size_t>(picture->documentText.size());
  RelocatableBlock* block = NewHandleTempOrAppRespectingMargins(bytes > 0 ? bytes : 1);
  if (block == nullptr) return nullptr;
  std::shared_ptr<void> counted(block, [](void* b) { OurDisposeMemoryPurgeable(static_cast<RelocatableBlock*>(b)); });

  auto* copy = new OurPicture;
  copy->frame = picture->frame;
  copy->recording = picture->recording;
  copy->documentText = picture->documentText;
  if (!picture->image.isNull()) {
    // The copy's pixels live in the counted block, which outlives every image
    // that shares them.
    std::memcpy(block->data, picture->image.constBits(), imageBytes);
    auto* keepAlive = new std::shared_ptr<void>(counted);
    copy->image = QImage(
        static_cast<uchar*>(block->data), picture->image.width(), picture->image.height(),
        picture->image.bytesPerLine(), picture->image.format(),
        [](void* info) { delete static_cast<std::shared_ptr<void>*>(info); }, keepAlive);
  }
  copy->countedStorage = std::move(counted);
  return copy;
}

void OurPictureRect(const OurPicture* picture, MRect* frame) {
  *frame = picture != nullptr ? ToMRect(picture->frame) : MRect{};
}

bool IsPointOverPicture(const OurPicture* picture, MPoint point, int h, int v) {
  return picture != nullptr && IsOurPointInRect(point, PlacedFrame(*picture, h, v));
}

bool IsPictureVisible(const OurPicture* picture, int h, int v, const MRect& rect) {
  MRect overlap;
  return picture != nullptr && OurSectRect(PlacedFrame(*picture, h, v), rect, &overlap);
}

void OurDrawPicture(const OurPicture* picture, int h, int v, const MRect& clip, double scale) {
  const PixelBuffer target = CurrentPortPixels();
  if (picture == nullptr || target.base == nullptr || !std::isfinite(scale) || scale <= 0.0) return;
  const IntRect area = Intersection(ToIntRect(clip), ToIntRect(target.bounds));
  if (area.IsEmpty()) return;
  // Only the part of the scaled picture that can reach the clip is rendered.
  const double width = picture->frame.width() * scale, height = picture->frame.height() * scale;
  const IntRect placed{v, h, DoubleToInt32(std::ceil(v + height)), DoubleToInt32(std::ceil(h + width))};
  const IntRect drawn = Intersection(placed, area);
  if (drawn.IsEmpty()) return;
  QImage scratch(drawn.right - drawn.left, drawn.bottom - drawn.top, QImage::Format_RGB32);
  if (scratch.isNull()) return;
  scratch.fill(0xFFFFFFFFu);
  RenderPicture(*picture, scratch, QPointF(h - drawn.left, v - drawn.top), scale);
  for (int y = drawn.top; y < drawn.bottom; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(scratch.constScanLine(y - drawn.top));
    for (int x = drawn.left; x < drawn.right; ++x) {
      const uint32_t ink = row[x - drawn.left] & 0xFFFFFF;
      if (ink == 0xFFFFFF) continue;
      uint32_t* pixel = target.Pixel(x, y);
      *pixel = OurComposeColors(ink, *pixel);
    }
  }
}
