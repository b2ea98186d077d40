#include "tests/app/ApplicationFixture.h"
#include "tests/app/QueuedDrag.h"
#include "tests/CoreUtilities/FileTestFolder.h"

#include <QBuffer>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/HeadlessExport.h"
#include "document/DocumentWriter.h"
#include "graphpane/AGraphPane.h"
#include "graphs2d/A2DGraphView.h"
#include "platform/OurPort.h"

namespace {

// Four quadrants, so that a picture turned or mirrored shows.
QImage PlacedQuadrants() {
  QImage image(24, 16, QImage::Format_RGB32);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 24; ++x)
      image.setPixel(x, y, y < 8 ? (x < 12 ? 0xFF0000 : 0x00C000) : (x < 12 ? 0x0000FF : 0xFFFF00));
  return image;
}

// 32 pixels a unit on both axes; the picture's bottom-left corner at (1, 1).
std::string PlacedPictureDocument(const std::string& more = "") {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  PlacedQuadrants().save(&buffer, "PNG");
  return "Zentrolabworksheet 4;\n2D.Scale 0.5 0.5 1 1;\n2D.BottomLeft -2 -2;\n" + more + "Picture \"" +
         png.toBase64().toStdString() + "\" 1 1;\n";
}

// The picture's frame when its bottom-left corner stands at (x, y), from
// where the axes cross: the row and the column with the most black pixels.
QRect PlacedFrame(const QImage& image, double x, double y) {
  std::vector<int> rows(image.height()), columns(image.width());
  for (int row = 0; row < image.height(); ++row)
    for (int column = 0; column < image.width(); ++column)
      if ((image.pixel(column, row) & 0xFFFFFF) == 0) ++rows[row], ++columns[column];
  const QPoint bottomLeft(int(std::max_element(columns.begin(), columns.end()) - columns.begin()) + int(32 * x),
                          int(std::max_element(rows.begin(), rows.end()) - rows.begin()) - int(32 * y));
  return QRect(bottomLeft - QPoint(0, 16), QSize(24, 16));
}

// Pixels of the frame further than the tolerance in some channel from the
// picture's own; those within `border` of an edge of a quadrant are left
// out.
int PlacedMismatches(const QImage& image, const QRect& frame, int border, int tolerance) {
  const QImage picture = PlacedQuadrants();
  const auto nearEdge = [border](int at, int size) {
    return at < border || at >= size - border || std::abs(2 * at + 1 - size) < 2 * border;
  };
  int far = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 24; ++x) {
      if (nearEdge(x, 24) || nearEdge(y, 16)) continue;
      const QRgb want = picture.pixel(x, y), got = image.pixel(frame.left() + x, frame.top() + y);
      far += std::abs(qRed(want) - qRed(got)) > tolerance || std::abs(qGreen(want) - qGreen(got)) > tolerance ||
             std::abs(qBlue(want) - qBlue(got)) > tolerance;
    }
  return far;
}

// Strongly coloured pixels outside the frame grown by `margin`: the grid,
// the axes and the text are white, pale blue, black and grey.
int PlacedColourOutside(const QImage& image, const QRect& frame, int margin) {
  const QRect grown = frame.adjusted(-margin, -margin, margin, margin);
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      const int spread = std::max({qRed(p), qGreen(p), qBlue(p)}) - std::min({qRed(p), qGreen(p), qBlue(p)});
      count += spread > 120 && !grown.contains(x, y);
    }
  return count;
}

// Both exports draw the picture with its bottom-left corner at its anchor:
// the PNG pixel for pixel (drawn over white paper a colour is a step
// darker), the PDF within what a lossy coding of the graph keeps.
TEST(PlacedPictures, BothExportsDrawThePictureAtItsAnchor) {
  FileTestFolder folder;
  ASSERT_TRUE(folder.Made());
  const std::string png = folder / "placed.png", pdf = folder / "placed.pdf", raster = folder / "raster";
  const double guard = double(std::chrono::seconds(kHangLimit).count());
  std::string error;
  ASSERT_EQ(ExportDocumentPicture(PlacedPictureDocument(), png, false, QSize(600, 400), guard, &error), 0) << error;
  ASSERT_EQ(ExportDocumentPicture(PlacedPictureDocument(), pdf, true, QSize(600, 400), guard, &error), 0) << error;
  ASSERT_EQ(std::system(("pdftoppm -r 72 -png -singlefile " + pdf + " " + raster).c_str()), 0);

  const QImage pixels = QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32);
  const QRect frame = PlacedFrame(pixels, 1, 1);
  EXPECT_EQ(PlacedMismatches(pixels, frame, 0, 2), 0);
  EXPECT_EQ(PlacedColourOutside(pixels, frame, 0), 0);

  const QImage page = QImage(QString::fromStdString(raster + ".png")).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(page.size(), pixels.size());
  EXPECT_EQ(PlacedMismatches(page, frame, 2, 64), 0);
  EXPECT_EQ(PlacedColourOutside(page, frame, 3), 0);
}

// Presses at `from` and moves in four steps to `to`, releasing there.
void PlacedDrag(QWidget* widget, QPoint from, QPoint to) {
  QueuedDrag(widget, from, {from + (to - from) / 4, from + (to - from) * 2 / 4, from + (to - from) * 3 / 4, to}, to);
}

using PlacedPicturesTest = WindowTest;

// The window's pane draws the picture at its anchor beside a graph; the
// mouse drags it by whole units, and out of the view, which removes it;
// the document written holds what the view shows.
TEST_F(PlacedPicturesTest, TheWindowDrawsThePictureAndTheMouseDragsIt) {
  DocumentMainWindow* window = Open("placed.zlf", PlacedPictureDocument("Expr y = -1;\n"));
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitUntilGraphed(window));
  GraphPaneWidget* pane = window->GraphPane();
  const QRect frame = PlacedFrame(pane->World()->image, 1, 1);
  EXPECT_EQ(PlacedMismatches(pane->World()->image, frame, 0, 2), 0);

  // One unit right and half a unit up.
  PlacedDrag(pane, frame.center(), frame.center() + QPoint(32, -16));
  auto* view = dynamic_cast<A2DGraphView*>(window->Document()->fGraphPane->View2D(0));
  ASSERT_EQ(view->Pictures().Count(), 1);
  EXPECT_EQ(view->Pictures()[0].x, 2);
  EXPECT_EQ(view->Pictures()[0].y, 1.5);
  EXPECT_TRUE(window->Document()->fModified);
  pane->RedrawGraph();
  const QRect now = PlacedFrame(pane->World()->image, 2, 1.5);
  EXPECT_EQ(PlacedMismatches(pane->World()->image, now, 0, 2), 0);
  const std::optional<std::string> moved = WriteDocumentText(*window->Document());
  ASSERT_TRUE(moved);
  EXPECT_NE(moved->find("\" 2 1.5;\n"), std::string::npos);

  PlacedDrag(pane, now.center(), now.center() - QPoint(2 * pane->width(), 0));
  EXPECT_EQ(view->Pictures().Count(), 0);
  pane->RedrawGraph();
  EXPECT_EQ(PlacedMismatches(pane->World()->image, now, 0, 2), 24 * 16);
  EXPECT_EQ(WriteDocumentText(*window->Document())->find("Picture"), std::string::npos);
}

}  // namespace
