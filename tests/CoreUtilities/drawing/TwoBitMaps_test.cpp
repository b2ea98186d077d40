#include "CoreUtilities/drawing/TwoBitMaps.h"

#include "CoreUtilities/drawing/ScopedSavers.h"
#include "CoreUtilities/drawing/OurGWorld.h"
#include "CoreUtilities/drawing/PixelColors.h"
#include "tests/platform/PortTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <vector>

namespace {

// A map of exactly rows x rowBytes bytes, so that any stray access is a heap
// overflow the sanitizer reports.
struct Map {
  Map(MRect f, long rb) : frame(f), rowBytes(rb), bytes(static_cast<size_t>(rb * (f.bottom - f.top))) {}
  int Get(int h, int v) const {
    const int x = h - frame.left, y = v - frame.top;
    return (bytes[y * rowBytes + x / 4] >> (6 - 2 * (x % 4))) & 3;
  }
  void Set(int h, int v, int code) {
    const int x = h - frame.left, y = v - frame.top;
    uint8_t& b = bytes[y * rowBytes + x / 4];
    const int shift = 6 - 2 * (x % 4);
    b = static_cast<uint8_t>((b & ~(3 << shift)) | (code << shift));
  }
  MRect frame;
  long rowBytes;
  std::vector<uint8_t> bytes;
};

void Randomize(Map& m, std::mt19937& rng) {
  for (auto& b : m.bytes) b = static_cast<uint8_t>(rng());
}

int16_t Between(std::mt19937& rng, int lo, int hi) {
  return static_cast<int16_t>(std::uniform_int_distribution<int>(lo, hi)(rng));
}

// A rectangle of the given size with its top-left corner at (top, left).
MRect Placed(int top, int left, int height, int width) {
  return {int16_t(top), int16_t(left), int16_t(top + height), int16_t(left + width)};
}

bool Inside(const MRect& f, int h, int v) { return h >= f.left && h < f.right && v >= f.top && v < f.bottom; }

// A rectangle whose top-left lies within `reach` of the origin.
MRect RandomRect(std::mt19937& rng, int reach, int maxHeight, int maxWidth) {
  const int top = Between(rng, -reach, reach), left = Between(rng, -reach, reach);
  const int height = Between(rng, 1, maxHeight);
  return Placed(top, left, height, Between(rng, 1, maxWidth));
}

// Composes the rectangles over graph paper of few colours (so that the
// composer's remembered answers are both reused and replaced), against
// every pixel shaded on its own: once where a rectangle covers it, never
// elsewhere.
void ExpectComposedOnce(OurPort& world, const std::vector<MRect>& rects, uint32_t colour, std::mt19937& rng,
                        int trial) {
  const int width = world.bounds.width(), height = world.bounds.height();
  std::vector<uint32_t> below(size_t(width * height));
  for (auto& p : below) p = std::array<uint32_t, 4>{0xF8F8F0, 0xC0D0E0, 0x123456, kGridLineColor}[rng() % 4];
  for (int v = 0; v < height; ++v)
    for (int h = 0; h < width; ++h) *PortPixel(world, h, v) = below[size_t(v * width + h)];
  ASSERT_TRUE(OurCompose2BitRects(rects.data(), rects.size(), colour));
  for (int v = 0; v < height; ++v) {
    for (int h = 0; h < width; ++h) {
      const bool covered = std::any_of(rects.begin(), rects.end(), [&](const MRect& r) {
        return h >= r.left && h < r.right && v >= r.top && v < r.bottom;
      });
      const uint32_t under = below[size_t(v * width + h)];
      const uint32_t want = covered ? ShadeColor(colour, PixelLuminance(under)) : under;
      ASSERT_EQ(*PortPixel(world, h, v) & 0xFFFFFF, want) << "trial " << trial << " at " << h << "," << v;
    }
  }
}

// Rows padded to whole bytes and no further.
Map TightMap(const MRect& frame) { return Map(frame, (frame.right - frame.left + 3) / 4); }

}  // namespace

TEST(TwoBitMaps, PaintMatchesPerPixelReferenceAndStaysInTheMap) {
  std::mt19937 rng(7);
  for (int trial = 0; trial < 300; ++trial) {
    const MRect f = RandomRect(rng, 20, 12, 40);
    Map m = TightMap(f);
    Randomize(m, rng);
    Map expected = m;
    // Rectangles may stick out of the map on any side.
    const MRect r{Between(rng, f.top - 3, f.bottom + 1), Between(rng, f.left - 5, f.right + 2),
                  Between(rng, f.top - 1, f.bottom + 3), Between(rng, f.left - 2, f.right + 5)};
    const int code = Between(rng, 0, 3);
    for (int v = std::max(r.top, f.top); v < std::min(r.bottom, f.bottom); ++v)
      for (int h = std::max(r.left, f.left); h < std::min(r.right, f.right); ++h) expected.Set(h, v, code);
    OurFast2BitPaintRect(m.bytes.data(), m.rowBytes, f, r, code);
    ASSERT_EQ(m.bytes, expected.bytes) << "trial " << trial;
  }
}

TEST(TwoBitMaps, CopyMovesExactlyTheRectangleAtAnyPhase) {
  std::mt19937 rng(11);
  for (int trial = 0; trial < 400; ++trial) {
    const MRect sourceFrame = RandomRect(rng, 8, 10, 37);
    const MRect destinationFrame = RandomRect(rng, 8, 10, 37);
    Map source(sourceFrame, (sourceFrame.right - sourceFrame.left + 3) / 4 + Between(rng, 0, 1));
    Map destination = TightMap(destinationFrame);
    Randomize(source, rng);
    Randomize(destination, rng);
    const int width = Between(rng, 1, 30), height = Between(rng, 1, 8);
    const int sourceTop = Between(rng, sourceFrame.top - 2, sourceFrame.bottom);
    const int sourceLeft = Between(rng, sourceFrame.left - 3, sourceFrame.right);
    const int destinationTop = Between(rng, destinationFrame.top - 2, destinationFrame.bottom);
    const int destinationLeft = Between(rng, destinationFrame.left - 3, destinationFrame.right);
    const MRect sourceRect = Placed(sourceTop, sourceLeft, height, width);
    const MRect destinationRect = Placed(destinationTop, destinationLeft, height, width);

    Map expected = destination;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const int sh = sourceRect.left + x, sv = sourceRect.top + y;
        const int dh = destinationRect.left + x, dv = destinationRect.top + y;
        if (Inside(sourceFrame, sh, sv) && Inside(destinationFrame, dh, dv)) expected.Set(dh, dv, source.Get(sh, sv));
      }
    OurTwoBitCopyRect(source.bytes.data(), source.rowBytes, sourceFrame, sourceRect, destination.bytes.data(),
                      destination.rowBytes, destinationFrame, destinationRect);
    ASSERT_EQ(destination.bytes, expected.bytes) << "trial " << trial;
  }
}

TEST(TwoBitMaps, ScrollMatchesPerPixelShiftAndClearsWhatIsExposed) {
  std::mt19937 rng(3);
  for (int trial = 0; trial < 300; ++trial) {
    const MRect f = RandomRect(rng, 5, 9, 29);
    Map m = TightMap(f);
    Randomize(m, rng);
    // Padding beyond the frame is never painted, so it holds zeros in use.
    for (int v = f.top; v < f.bottom; ++v)
      for (int x = f.right - f.left; x < m.rowBytes * 4; ++x) m.Set(f.left + x, v, 0);
    const int dh = Between(rng, -31, 31), dv = Between(rng, -10, 10);
    Map expected = m;
    for (int v = f.top; v < f.bottom; ++v)
      for (int h = f.left; h < f.right; ++h) {
        expected.Set(h, v, Inside(f, h - dh, v - dv) ? m.Get(h - dh, v - dv) : 0);
      }
    OurTwoBitScrollRect(m.bytes.data(), m.rowBytes, f, dh, dv);
    for (int v = f.top; v < f.bottom; ++v)
      for (int h = f.left; h < f.right; ++h)
        ASSERT_EQ(m.Get(h, v), expected.Get(h, v)) << "trial " << trial << " at " << h << "," << v;
  }
}

TEST(TwoBitMaps, CompositionShadesByTheLuminanceBelow) {
  PortPtr world(OurNewGWorld({0, 0, 1, 5}));
  ASSERT_NE(world, nullptr);
  APushPort push(world.get());
  uint32_t* px = reinterpret_cast<uint32_t*>(GetBaseAddress());
  const uint32_t below[5] = {0xCCFFFF, 0xCCFFFF, 0x808080, 0x123456, 0x123456};
  std::copy(below, below + 5, px);
  const uint8_t bits[2] = {0b11101100, 0b01000000};  // codes 3 2 3 0 | 1
  // The rectangles only have to agree in size.
  OurCopy2BitToCurrentPort(bits, 2, {7, 9, 8, 14}, 0xFF4020, {0, 0, 1, 5});
  // Grid line: colour unshaded, grey is white. 0x808080: L = 256 * 128 / 255 = 128.
  // 0x123456: L = (77*18 + 150*52 + 29*86) / 255 = 45, tint (255, 159, 143).
  const uint32_t expected[5] = {0xFF4020, 0xFFFFFF, 0x7F2010, 0x123456, 0x2C1B19};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(px[i] & 0xFFFFFF, expected[i]) << i;
  // Rectangles of different sizes draw nothing; one past the port is clipped.
  OurCopy2BitToCurrentPort(bits, 2, {0, 0, 1, 4}, 0x000000, {0, 0, 1, 5});
  OurCopy2BitToCurrentPort(bits, 2, {0, 0, 1, 5}, 0x000000, {0, 3, 1, 8});
  EXPECT_EQ(px[3] & 0xFFFFFF, 0x000000u);  // code 3 in black
  EXPECT_EQ(px[4] & 0xFFFFFF, 0x1F1F1Fu);  // code 2 over 0x2C1B19: L = 32, grey 31
  EXPECT_EQ(px[2] & 0xFFFFFF, 0x7F2010u);
}

// Rectangles composed over their box, against every pixel shaded on its own:
// scattered ones that overlap, strips side by side or one under another, and
// strips that share a column with the next as a sampled curve's do; some
// reach past the port.
TEST(TwoBitMaps, RectanglesComposeEachCoveredPixelOnceAndNoOther) {
  constexpr int kWidth = 70, kHeight = 50;
  PortPtr world(OurNewGWorld({0, 0, kHeight, kWidth}));
  ASSERT_NE(world, nullptr);
  APushPort push(world.get());
  std::mt19937 rng(73);
  for (int trial = 0; trial < 400; ++trial) {
    std::vector<MRect> rects;
    const int kind = trial % 4, count = Between(rng, 1, 12);
    for (int k = 0; k < count; ++k) {
      const int16_t a = Between(rng, -5, kHeight), b = Between(rng, -5, kWidth);
      switch (kind) {
        case 0: rects.push_back({a, b, Between(rng, a, kHeight + 5), Between(rng, b, kWidth + 5)}); break;
        case 1:
          rects.push_back({a, int16_t(6 * k), Between(rng, a, kHeight + 5), int16_t(6 * k + Between(rng, 1, 6))});
          break;
        case 2:
          rects.push_back({int16_t(4 * k), b, int16_t(4 * k + Between(rng, 1, 4)), Between(rng, b, kWidth + 5)});
          break;
        default: rects.push_back({a, int16_t(2 * k), Between(rng, a, kHeight + 5), int16_t(2 * k + 3)}); break;
      }
      if (rects.back().bottom <= rects.back().top || rects.back().right <= rects.back().left) rects.pop_back();
    }
    ExpectComposedOnce(*world, rects, trial % 2 != 0 ? 0xD02090 : 0x808080, rng, trial);
  }
}

// Chains of rectangles each overlapping the one before, as curves' columns
// (left to right) and rows (down, or up as a curve of y's) do, long enough
// that the pixels ahead are asked for well before they are composed; some
// with empty rectangles among them, some past the port, and some bent back
// so that a rectangle meets one two before it as well.
TEST(TwoBitMaps, ChainedRectanglesComposeEachCoveredPixelOnce) {
  constexpr int kWidth = 90, kHeight = 80;
  PortPtr world(OurNewGWorld({0, 0, kHeight, kWidth}));
  ASSERT_NE(world, nullptr);
  APushPort push(world.get());
  std::mt19937 rng(731);
  for (int trial = 0; trial < 300; ++trial) {
    const int way = trial % 3, count = Between(rng, 2, 70);
    const bool bent = trial % 7 == 0, empties = trial % 5 == 0;
    std::vector<MRect> rects;
    int at = way == 2 ? kHeight + 3 : -3;  // the column or row the chain has reached
    for (int k = 0; k < count; ++k) {
      const int step = bent && k == count / 2 ? -3 : Between(rng, 0, 2);
      const int16_t a = Between(rng, -6, kHeight), b = Between(rng, -6, kWidth);
      if (way == 0) {
        rects.push_back({a, int16_t(at), Between(rng, a, a + 30), int16_t(at + Between(rng, 1, 3))});
        at += step;
      } else if (way == 1) {
        rects.push_back({int16_t(at), b, int16_t(at + Between(rng, 1, 3)), Between(rng, b, b + 30)});
        at += step;
      } else {
        rects.push_back({int16_t(at - Between(rng, 1, 3)), b, int16_t(at), Between(rng, b, b + 30)});
        at -= step;
      }
      if (empties && k % 4 == 1) rects.back().right = rects.back().left;
    }
    ExpectComposedOnce(*world, rects, trial % 2 != 0 ? 0x3060C0 : 0xFF0000, rng, trial);
  }
}
