#include "tools/Render3DCompare.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kBand = 2;

using Mask = std::vector<uint8_t>;

Mask Coverage(const QImage& image, uint32_t background) {
  Mask mask(size_t(image.width()) * size_t(image.height()));
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x)
      mask[size_t(y) * size_t(image.width()) + size_t(x)] = (row[x] & 0xFFFFFF) != (background & 0xFFFFFF);
  }
  return mask;
}

// Pixels within the band of a coverage edge of the mask.
void MarkBand(const Mask& mask, int w, int h, Mask& band) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint8_t here = mask[size_t(y) * size_t(w) + size_t(x)];
      const bool edge = (x + 1 < w && mask[size_t(y) * size_t(w) + size_t(x + 1)] != here) ||
                        (y + 1 < h && mask[size_t(y + 1) * size_t(w) + size_t(x)] != here);
      if (!edge) continue;
      for (int dy = -kBand; dy <= kBand + 1; ++dy)
        for (int dx = -kBand; dx <= kBand + 1; ++dx) {
          const int bx = x + dx, by = y + dy;
          if (bx >= 0 && by >= 0 && bx < w && by < h) band[size_t(by) * size_t(w) + size_t(bx)] = 1;
        }
    }
}

}  // namespace

Scene3DComparison CompareScene3D(const QImage& a, const QImage& b, uint32_t background) {
  Scene3DComparison result;
  const QImage first = a.convertToFormat(QImage::Format_RGB32), second = b.convertToFormat(QImage::Format_RGB32);
  const int w = std::min(first.width(), second.width()), h = std::min(first.height(), second.height());
  const QImage left = first.copy(0, 0, w, h), right = second.copy(0, 0, w, h);
  const Mask ma = Coverage(left, background), mb = Coverage(right, background);
  Mask band(ma.size());
  MarkBand(ma, w, h, band);
  MarkBand(mb, w, h, band);
  std::vector<int> differences;
  for (int y = 0; y < h; ++y) {
    const auto* pa = reinterpret_cast<const uint32_t*>(left.constScanLine(y));
    const auto* pb = reinterpret_cast<const uint32_t*>(right.constScanLine(y));
    for (int x = 0; x < w; ++x) {
      const size_t i = size_t(y) * size_t(w) + size_t(x);
      if (ma[i] || mb[i]) ++result.covered;
      if (band[i]) continue;
      if (ma[i] != mb[i]) ++result.coverageMismatch;
      if (!ma[i] || !mb[i]) continue;
      ++result.interior;
      for (int shift = 0; shift < 24; shift += 8)
        differences.push_back(std::abs(int((pa[x] >> shift) & 0xFF) - int((pb[x] >> shift) & 0xFF)));
    }
  }
  if (differences.empty()) return result;
  int64_t sum = 0;
  for (int d : differences) sum += d;
  result.meanChannelDifference = double(sum) / double(differences.size());
  result.maximum = *std::max_element(differences.begin(), differences.end());
  const size_t at = std::min(differences.size() - 1, size_t(double(differences.size()) * 0.99));
  std::nth_element(differences.begin(), differences.begin() + long(at), differences.end());
  result.percentile99 = differences[at];
  return result;
}
