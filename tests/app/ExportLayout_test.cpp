#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "app/ExportLayout.h"
#include "app/ExportOptions.h"
#include "document/DocumentContents.h"

namespace {

TEST(ExportLayout, TheDividerSplitsSideBySideOrStacked) {
  DocumentContents c;
  EXPECT_EQ(DocumentWindowSize(c), QSize(640, 800));  // a new window's
  c.windowRect[0] = 40, c.windowRect[1] = 10, c.windowRect[2] = 540, c.windowRect[3] = 910;
  EXPECT_EQ(DocumentWindowSize(c), QSize(900, 500));
  // A file's rectangle gives no larger picture than --size may ask.
  c.windowRect[0] = 0, c.windowRect[1] = -32768, c.windowRect[2] = 32767, c.windowRect[3] = 500;
  EXPECT_EQ(DocumentWindowSize(c), QSize(33268, 32767));
  EXPECT_EQ(ClampExportSize(DocumentWindowSize(c)), ClampExportSize(QSize(33268, 32767)));
  c.windowRect[0] = 40, c.windowRect[1] = 10, c.windowRect[2] = 540, c.windowRect[3] = 910;

  c.paneDivider = 300;
  ExportPanes panes = LayOutExportPanes(c, QSize(900, 500));
  EXPECT_EQ(panes.math, QRect(0, 0, 300, 500));
  EXPECT_EQ(panes.graph, QRect(300, 0, 600, 500));
  c.stackPanes = true;
  panes = LayOutExportPanes(c, QSize(900, 500));
  EXPECT_EQ(panes.math, QRect(0, 0, 900, 300));
  EXPECT_EQ(panes.graph, QRect(0, 300, 900, 200));
  // A divider outside the window halves it.
  c.paneDivider = 700;
  EXPECT_EQ(LayOutExportPanes(c, QSize(900, 500)).graph, QRect(0, 250, 900, 250));
}

TEST(ExportOptions, ArgumentsAreReadOrRefusedWithAReason) {
  const auto parse = [](std::vector<const char*> words, std::string* error) {
    std::vector<char*> argv;
    for (const char* w : words) argv.push_back(const_cast<char*>(w));
    return ParseExportOptions(static_cast<int>(argv.size()), argv.data(), 0, error);
  };
  std::string error;
  const auto options = parse({"a.zlf", "--pdf", "b.pdf", "--size", "320x200", "--timeout", "2.5"}, &error);
  ASSERT_TRUE(options);
  EXPECT_EQ(options->document, "a.zlf");
  EXPECT_EQ(options->output, "b.pdf");
  EXPECT_TRUE(options->pdf);
  EXPECT_EQ(options->width, 320);
  EXPECT_EQ(options->height, 200);
  EXPECT_EQ(options->timeoutSeconds, 2.5);
  for (const auto& bad : std::vector<std::vector<const char*>>{{"a.zlf"},
                                                               {"--png", "b.png"},
                                                               {"a.zlf", "--png"},
                                                               {"a.zlf", "--png", "b", "--pdf", "c"},
                                                               {"a.zlf", "--png", "b", "--size", "20"},
                                                               {"a.zlf", "--png", "b", "--size", "20x-1"},
                                                               {"a.zlf", "--png", "b", "--size", "99999999999x10"},
                                                               {"a.zlf", "--png", "b", "--timeout", "-1"},
                                                               {"a.zlf", "--png", "b", "--timeout", "nan"},
                                                               {"a.zlf", "c.zlf", "--png", "b"}}) {
    error.clear();
    EXPECT_FALSE(parse(bad, &error)) << bad.size();
    EXPECT_FALSE(error.empty());
  }
}

// Each size past a side of 8192 or 40 million pixels comes back the
// largest whole size of its shape (to a pixel either way) within both;
// sizes within them come back unchanged.
TEST(ExportLayout, LargePicturesAreScaledDownKeepingTheirShape) {
  for (const QSize size : {QSize(1, 1), QSize(8192, 4882), QSize(6000, 6000), QSize(600, 360)})
    EXPECT_EQ(ClampExportSize(size), size);
  for (const QSize size : {QSize(32767, 32767), QSize(33268, 32767), QSize(8193, 1), QSize(1, 100000),
                           QSize(8192, 8192), QSize(7000, 7000), QSize(2147483647, 3)}) {
    const QSize clamped = ClampExportSize(size);
    EXPECT_LE(clamped.width(), 8192) << size.width() << "x" << size.height();
    EXPECT_LE(clamped.height(), 8192) << size.width() << "x" << size.height();
    EXPECT_LE(int64_t(clamped.width()) * clamped.height(), 40'000'000) << size.width() << "x" << size.height();
    EXPECT_GE(clamped.width(), 1);
    EXPECT_GE(clamped.height(), 1);
    // No larger picture of the same shape fits: a side two pixels longer
    // breaks a bound.
    const double scale = double(clamped.width() + 2) / size.width();
    const double grownWidth = clamped.width() + 2, grownHeight = std::max(1.0, size.height() * scale);
    EXPECT_TRUE(grownWidth > 8192 || grownHeight > 8192 || grownWidth * grownHeight > 40e6)
        << size.width() << "x" << size.height();
    if (size.width() >= 100 && size.height() >= 100) {
      EXPECT_NEAR(double(clamped.width()) / clamped.height(), double(size.width()) / size.height(), 0.01);
    }
  }
  EXPECT_EQ(ClampExportSize(QSize(32767, 32767)), QSize(6324, 6324));  // floor(sqrt(4e7))
}

}  // namespace
