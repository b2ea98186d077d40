#include <gtest/gtest.h>

#include <vector>

#include "graphs3d/drawing/LineRuns.h"
#include "renderer/Submission.h"
#include "tests/renderer/TestFrame.h"

namespace {

int WrittenCells(const TestFrame& frame) {
  int n = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) n += frame.Written(x, y);
  return n;
}

// Past 65,536 vertices the indexes would wrap to the first: a line drawn
// only by vertices beyond that lands where the first ones are not.
TEST(LineRuns, SegmentsPastTheSixteenBitIndexesAreDrawnWhereTheyLie) {
  const int32_t count = 70000, tail = count - kVerticesPerRun;
  std::vector<Vertex> vertices(size_t(count), Vertex{1.9f, 1.9f, 1.9f});
  for (int32_t i = 0; i < tail; ++i)
    vertices[size_t(kVerticesPerRun + i)] = {0, -1 + 2.0f * float(i) / float(tail - 1), 0};
  std::vector<uint8_t> drawn(size_t(count), 0);
  std::vector<LineSegment> segments(kVerticesPerRun);
  for (bool tailDrawn : {false, true}) {
    // The segment that crosses into the last run, and those within it.
    for (int32_t i = kVerticesPerRun - 1; i + 1 < count; ++i) drawn[size_t(i)] = tailDrawn && i >= kVerticesPerRun;
    TestFrame frame(false);
    OurSubmitSolidAmbientColor(0xFFFFFF, frame.ctx.ctx);
    SubmitPolylineRuns(vertices.data(), drawn.data(), count, segments.data(), frame.ctx.ctx);
    const int written = WrittenCells(frame);
    if (tailDrawn) {
      EXPECT_GT(written, 10);
    } else {
      EXPECT_EQ(written, 0);
    }
  }
}

}  // namespace
