#include "tests/document/DocumentTestSupport.h"
#include "tests/support/DefaultOrientations.h"
#include "tools/LabelledPointsDocument.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string kData = ZL_TEST_DATA_DIR;
// An export that must finish is given this long, which only a hang uses up:
// the default timeout is a user's, not a loaded test machine's.
const std::string kHangTimeout = " --timeout 900";

std::string TempPath(const std::string& name) {
  return testing::TempDir() + "zl_export_" + std::to_string(::getpid()) + "_" + name;
}

// The exit status of zl run with the arguments.
int Zl(const std::string& arguments) {
  const std::string command = std::string(ZL_EXECUTABLE) + " " + arguments + " >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// What zl run with the arguments wrote on standard error; its status in
// *status.
std::string ZlErrors(const std::string& arguments, int* status) {
  const std::string errors = TempPath("errors.txt");
  const int raw = std::system((std::string(ZL_EXECUTABLE) + " " + arguments + " >/dev/null 2>" + errors).c_str());
  *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  const std::string text = FileBytes(errors);
  std::remove(errors.c_str());
  return text;
}

// Past a timeout of 0 the picture is written unfinished or, when its
// encoding cannot finish within the second after the timeout (as on a slow
// or busy machine), not at all; either way the words say which. A written
// picture has the size asked for, if one was.
void ExpectUnfinishedOrNoPictureAndWhich(const std::string& errors, const std::string& out, QSize size = QSize()) {
  const bool written = !FileBytes(out).empty();
  EXPECT_EQ(errors.find("the picture shows them unfinished") != std::string::npos, written) << errors;
  EXPECT_EQ(errors.find("no picture is written") != std::string::npos, !written) << errors;
  if (!written) return;
  const QImage picture(QString::fromStdString(out));
  EXPECT_FALSE(picture.isNull());
  if (size.isValid()) {
    EXPECT_EQ(picture.size(), size);
  }
}

std::string WriteDocument(const std::string& name, const std::string& text) {
  const std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

// The chunk types of a PNG file in order, and the text of its tEXt chunks.
std::vector<std::string> ChunkTypes(const std::string& png, std::string* text) {
  std::vector<std::string> types;
  for (size_t at = 8; at + 8 <= png.size();) {
    const auto byte = [&](size_t i) { return uint32_t(uint8_t(png[at + i])); };
    const uint32_t length = byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
    const std::string type = png.substr(at + 4, 4);
    if (type == "tEXt") *text += png.substr(at + 8, length) + ";";
    types.push_back(type);
    at += 12 + size_t(length);
  }
  return types;
}

// Pixels of a with no pixel of b within one pixel of them that is close in
// colour.
int PixelsFartherThanOne(const QImage& a, const QImage& b, int tolerance) {
  const auto close = [tolerance](QRgb p, QRgb q) {
    return std::abs(qRed(p) - qRed(q)) <= tolerance && std::abs(qGreen(p) - qGreen(q)) <= tolerance &&
           std::abs(qBlue(p) - qBlue(q)) <= tolerance;
  };
  int far = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      bool found = false;
      for (int dy = -1; dy <= 1 && !found; ++dy)
        for (int dx = -1; dx <= 1 && !found; ++dx)
          found = b.valid(x + dx, y + dy) && close(a.pixel(x, y), b.pixel(x + dx, y + dy));
      far += !found;
    }
  return far;
}

// The rows with ink in the left 150 pixels (the math pane) of the
// statements exported at 400 x 200; the timeout only guards against a hang.
int InkedMathRows(const std::string& statements) {
  const std::string document = TempPath("said.zlf"), out = TempPath("said.png");
  std::ofstream(document, std::ios::binary) << "Zentrolabworksheet 4;\n" << statements;
  EXPECT_EQ(Zl("--export " + document + " --png " + out + " --size 400x200" + kHangTimeout), 0) << statements;
  const QImage picture = QImage(QString::fromStdString(out)).convertToFormat(QImage::Format_RGB32);
  for (const std::string& path : {document, out}) std::remove(path.c_str());
  int rows = 0;
  for (int y = 0; y < picture.height(); ++y) {
    bool ink = false;
    for (int x = 0; x < 150 && !ink; ++x) ink = (picture.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
    rows += ink;
  }
  return rows;
}

TEST(HeadlessExport, ExitCodesSayWhatWentWrong) {
  const std::string out = TempPath("codes.png"), road = kData + "/export_road.zlf";
  for (const std::string& arguments :
       {std::string(), road, road + " --png " + out + " --size 0x10", kData + "/missing.zlf --png " + out,
        kData + "/math_pane_results.txt --png " + out,  // no document
        road + " --png /nonexistent/dir/out.png --size 60x40"})
    EXPECT_EQ(Zl("--export " + arguments), 1) << arguments;
  // A document cut inside a text is no document.
  const std::string cut = TempPath("cut.zlf");
  const std::string welcome = FileBytes(kData + "/../../examples/welcome.zlf");
  std::ofstream(cut, std::ios::binary) << welcome.substr(0, welcome.find("Welcome</B>") + 3);
  EXPECT_EQ(Zl("--export " + cut + " --png " + out + " --size 60x40"), 1);
  std::remove(cut.c_str());
  // No time at all: the status says so.
  int status = -1;
  const std::string errors = ZlErrors("--export " + road + " --png " + out + " --size 60x40 --timeout 0", &status);
  EXPECT_EQ(status, 2) << errors;
  ExpectUnfinishedOrNoPictureAndWhich(errors, out, QSize(60, 40));
  std::remove(out.c_str());
}

// What is at the output and not a plain file says why it takes no picture:
// a pipe no one reads fails at once, one whose reader leaves after a byte
// fails its write (the status is the export's, no SIGPIPE's), one whose
// reader takes nothing is given up when the time is up, and a folder of
// the output's name is said to be one.
TEST(HeadlessExport, WhatIsNoPlainFileSaysWhy) {
  const std::string road = kData + "/export_road.zlf --size 600x360" + kHangTimeout;
  const std::string pipe = TempPath("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  int status = -1;
  std::string errors = ZlErrors("--export " + road + " --png " + pipe, &status);
  EXPECT_EQ(status, 1);
  EXPECT_NE(errors.find("cannot write " + pipe + ": no one reads the pipe"), std::string::npos) << errors;

  // The reader holds a page at most, far less than the picture, and waits
  // for the first byte: until a writer comes it sees no end, only no data.
  const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  ASSERT_GT(::fcntl(reader, F_SETPIPE_SZ, 4096), 0);
  std::thread exporter([&] { errors = ZlErrors("--export " + road + " --png " + pipe, &status); });
  pollfd data{reader, POLLIN, 0};
  EXPECT_EQ(::poll(&data, 1, -1), 1);
  char first = 0;
  EXPECT_EQ(::read(reader, &first, 1), 1);
  ::close(reader);
  exporter.join();
  EXPECT_EQ(status, 1);
  EXPECT_NE(errors.find("cannot write " + pipe + ": the pipe's reader left before the end"), std::string::npos)
      << errors;

  // A reader that takes nothing, its pipe already full, holds the export no
  // longer than its time: given none, the write is given up at its end.
  const int idle = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(idle, 0);
  ASSERT_GT(::fcntl(idle, F_SETPIPE_SZ, 4096), 0);
  const int filler = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(filler, 0);
  const std::string page(4096, 'f');
  while (::write(filler, page.data(), page.size()) > 0) {
  }
  ::close(filler);
  errors = ZlErrors("--export " + kData + "/export_road.zlf --size 60x40 --timeout 0 --pdf " + pipe, &status);
  ::close(idle);
  EXPECT_EQ(status, 1);
  EXPECT_NE(errors.find("cannot write " + pipe + ": the pipe's reader did not take everything in time"),
            std::string::npos)
      << errors;
  std::remove(pipe.c_str());

  const std::string folder = TempPath("folder.png");
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  errors = ZlErrors("--export " + road + " --png " + folder, &status);
  EXPECT_EQ(status, 1);
  EXPECT_NE(errors.find("cannot write " + folder + ": a folder has that name"), std::string::npos) << errors;
  ::rmdir(folder.c_str());
}

// A sum of 3,000 terms given no time stops where it stands and writes what
// it has; a nest 250 deep derives and compiles, and is done. (A deadline
// passing amid a pass is seen in-process, the pass held there.)
TEST(HeadlessExport, LongFormulasStopAtTheTimeoutOrFinishWellWithinIt) {
  std::string sum = "y = sin(x)";
  for (int k = 2; k <= 3000; ++k) sum += "+sin(" + std::to_string(k) + "*x)/" + std::to_string(k);
  std::string nest = "y = ";
  for (int k = 0; k < 250; ++k) nest += "sin(";
  nest += "x" + std::string(250, ')');
  const std::string out = TempPath("long.png");
  const std::string sumDocument = WriteDocument("sum.zlf", "Zentrolabworksheet 4;\nExpr " + sum + ";\n");
  int status = -1;
  const std::string errors =
      ZlErrors("--export " + sumDocument + " --png " + out + " --size 300x200 --timeout 0", &status);
  EXPECT_EQ(status, 2) << errors;
  ExpectUnfinishedOrNoPictureAndWhich(errors, out, QSize(300, 200));
  std::remove(out.c_str());
  const std::string nestDocument = WriteDocument("nest.zlf", "Zentrolabworksheet 4;\nExpr " + nest + ";\n");
  EXPECT_EQ(Zl("--export " + nestDocument + " --png " + out + " --size 300x200" + kHangTimeout), 0);
  EXPECT_EQ(QImage(QString::fromStdString(out)).size(), QSize(300, 200));
  for (const std::string& path : {out, sumDocument, nestDocument}) std::remove(path.c_str());
}

TEST(HeadlessExport, PngMatchesItsGoldenAndCarriesItsChunks) {
  const std::string out = TempPath("road.png");
  ASSERT_EQ(Zl("--export " + kData + "/export_road.zlf --png " + out + " --size 600x360" + kHangTimeout), 0);
  std::string text;
  const std::vector<std::string> types = ChunkTypes(FileBytes(out), &text);
  EXPECT_EQ(types.front(), "IHDR");
  EXPECT_EQ(types.back(), "IEND");
  EXPECT_EQ(std::find(types.begin(), types.end(), "tIME"), types.end());
  EXPECT_EQ(text, std::string("Software") + '\0' + "Zentrolab;");

  const QImage written(QString::fromStdString(out));
  const QImage golden(QString::fromStdString(kData + "/export_road.png"));
  ASSERT_EQ(written.size(), QSize(600, 360));
  ASSERT_EQ(golden.size(), written.size());
  EXPECT_EQ(PixelsFartherThanOne(written.convertToFormat(QImage::Format_RGB32),
                                 golden.convertToFormat(QImage::Format_RGB32), 8),
            0);
  std::remove(out.c_str());
}

// A hundred function graphs of every shape, poles among them, exported as
// the drawing before each curve's compositing followed its ink drew them:
// the same pixels, every one.
TEST(HeadlessExport, AHundredCurvesKeepTheirPixels) {
  const std::string out = TempPath("curves.png");
  ASSERT_EQ(Zl("--export " + kData + "/many_curves_100.zlf --png " + out + " --size 600x360"), 0);
  const QImage written = QImage(QString::fromStdString(out)).convertToFormat(QImage::Format_RGB32);
  const QImage golden =
      QImage(QString::fromStdString(kData + "/many_curves_100.png")).convertToFormat(QImage::Format_RGB32);
  std::remove(out.c_str());
  ASSERT_FALSE(golden.isNull());
  EXPECT_TRUE(written == golden);
}

// The example exported at 600 x 360: its pixels with no pixel of the golden
// within one pixel that is within 8 of it in every channel; all of them
// when the export fails or the sizes differ.
int ExampleAgainstGolden(const std::string& example, const std::string& golden) {
  const std::string out = TempPath(example + ".png");
  constexpr int kAll = 600 * 360;
  if (Zl("--export " + kData + "/../../examples/" + example + " --png " + out + " --size 600x360" + kHangTimeout) != 0)
    return kAll;
  const QImage written = QImage(QString::fromStdString(out)).convertToFormat(QImage::Format_RGB32);
  const QImage expected = QImage(QString::fromStdString(kData + "/" + golden)).convertToFormat(QImage::Format_RGB32);
  std::remove(out.c_str());
  if (written.isNull() || written.size() != expected.size()) return kAll;
  return PixelsFartherThanOne(written, expected, 8);
}

// The statements exported at 300 x 200, and what the export said on
// standard error; the timeout only guards against a hang.
QImage ExportOf(const std::string& statements, std::string* errors) {
  const std::string document = WriteDocument("statements.zlf", "Zentrolabworksheet 4;\n" + statements);
  const std::string out = TempPath("statements.png");
  int status = -1;
  *errors = ZlErrors("--export " + document + " --png " + out + " --size 300x200" + kHangTimeout, &status);
  EXPECT_EQ(status, 0) << statements;
  const QImage picture = QImage(QString::fromStdString(out)).convertToFormat(QImage::Format_RGB32);
  for (const std::string& path : {document, out}) std::remove(path.c_str());
  return picture;
}

// A view statement with its numbers in full.
std::string ViewStatement(const std::string& keyword, const double* values, int count) {
  std::string statement = keyword;
  for (int i = 0; i < count; ++i) {
    char number[32];
    statement += " " + std::string(number, std::to_chars(number, number + sizeof number, values[i]).ptr);
  }
  return statement + ";\n";
}

// The surface example in its stored orientation, spin held, as the offscreen
// OpenGL renderer draws it: another processor may round a colour a few steps
// apart.
TEST(HeadlessExport, ASurfaceExampleMatchesItsGolden) {
  EXPECT_EQ(ExampleAgainstGolden("surface3d.zlf", "export_surface3d.png"), 0);
}

// The fields example: a helix tube, a point, lattice arrows and a solution
// tube through a point, and their copies through a space transformation in
// the second view, the order the workers finish them in notwithstanding.
TEST(HeadlessExport, AFieldsExampleMatchesItsGolden) {
  EXPECT_LE(ExampleAgainstGolden("fields3d.zlf", "export_fields3d.png"), 20);
}

// The data example: points of a table, the first six labelled, drawn by the
// software renderer that labels ask for.
TEST(HeadlessExport, ADataExampleMatchesItsGolden) {
  EXPECT_LE(ExampleAgainstGolden("data3d.zlf", "export_data3d.png"), 20);
}

// w = z^2 turned in the zw and yw planes, with its 4-D axes: a surface of
// hue bands, one hue a cell, lit through the tangents each frame projects.
// Each pixel lies within 8 levels of the golden's within one pixel, but
// for 20 at most, which another processor may round otherwise.
TEST(HeadlessExport, AFourDSurfaceExampleMatchesItsGolden) {
  EXPECT_LE(ExampleAgainstGolden("surface4d.zlf", "export_surface4d.png"), 20);
}

// A torus polygonised on every worker, slab by slab: the same mesh however
// many jobs, so the same picture.
TEST(HeadlessExport, AnImplicitSurfaceExampleMatchesItsGolden) {
  EXPECT_EQ(ExampleAgainstGolden("implicit3d.zlf", "export_implicit3d.png"), 0);
}

// A curve above the view says so under its equation, as in the window: the
// math pane has lines of ink that a curve in the view leaves blank.
TEST(HeadlessExport, WhatAGraphSaysOfTheViewIsInThePicture) {
  EXPECT_GT(InkedMathRows("Expr y = 10^10*x + 10^12;\n"), InkedMathRows("Expr y = 10^10*x;\n") + 5);
}

// A contour plot of values too small for round levels is done at once and
// says so under its equation, as an ordinary contour plot does not.
TEST(HeadlessExport, AContourOfSubnormalValuesIsDoneWithItsMessage) {
  EXPECT_GT(InkedMathRows("XYType 3;\nExpr z=x*1e-310;\n"), InkedMathRows("XYType 3;\nExpr z=x;\n") + 5);
}

TEST(HeadlessExport, PdfRasterisedLandsWithinAPixelOfThePng) {
  const std::string png = TempPath("page.png"), pdf = TempPath("page.pdf"), raster = TempPath("raster");
  ASSERT_EQ(Zl("--export " + kData + "/export_road.zlf --png " + png + " --size 600x360" + kHangTimeout), 0);
  ASSERT_EQ(Zl("--export " + kData + "/export_road.zlf --pdf " + pdf + " --size 600x360" + kHangTimeout), 0);
  ASSERT_EQ(std::system(("pdftoppm -r 72 -png -singlefile " + pdf + " " + raster).c_str()), 0);
  const QImage a = QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32);
  const QImage b = QImage(QString::fromStdString(raster + ".png")).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(a.size(), b.size());
  // Text and curve edges are smoothed differently; what is drawn lies in
  // the same place.
  EXPECT_LT(PixelsFartherThanOne(a, b, 96), 100);
  for (const std::string& path : {png, pdf, raster + ".png"}) std::remove(path.c_str());
}

// The graph pane goes into the PDF without loss: the page's one image,
// as pdfimages takes it out, is the PNG export's graph pane pixel for
// pixel (it fills the picture's bottom right and one whole side), and the
// file is smaller than that image's bare pixels.
TEST(HeadlessExport, APdfHoldsTheGraphPaneAsThePngHasIt) {
  const std::string png = TempPath("lossless.png"), pdf = TempPath("lossless.pdf"), images = TempPath("lossless");
  for (const std::string& document : {kData + "/many_curves_100.zlf", kData + "/../../examples/welcome.zlf"}) {
    ASSERT_EQ(Zl("--export " + document + " --png " + png + " --size 600x360" + kHangTimeout), 0) << document;
    ASSERT_EQ(Zl("--export " + document + " --pdf " + pdf + " --size 600x360" + kHangTimeout), 0) << document;
    ASSERT_EQ(std::system(("pdfimages -png " + pdf + " " + images).c_str()), 0);
    const QImage whole = QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32);
    const QImage graph = QImage(QString::fromStdString(images + "-000.png")).convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(FileBytes(images + "-001.png").empty()) << document;
    ASSERT_FALSE(graph.isNull()) << document;
    EXPECT_TRUE(graph.width() == whole.width() || graph.height() == whole.height()) << document;
    const QImage pane =
        whole.copy(QRect(QPoint(whole.width() - graph.width(), whole.height() - graph.height()), graph.size()));
    int differing = 0;
    for (int y = 0; y < graph.height(); ++y)
      for (int x = 0; x < graph.width(); ++x)
        differing += (graph.pixel(x, y) & 0xFFFFFF) != (pane.pixel(x, y) & 0xFFFFFF);
    EXPECT_EQ(differing, 0) << document;
    EXPECT_LT(int64_t(FileBytes(pdf).size()), int64_t(graph.width()) * graph.height() * 3) << document;
    for (const std::string& path : {png, pdf, images + "-000.png"}) std::remove(path.c_str());
  }
}

TEST(HeadlessExport, AnUnreadablePictureIsReportedOnceInTheExportsWords) {
  // A PNG signature with nothing after it.
  const std::string document =
      WriteDocument("picture.zlf", "Zentrolabworksheet 4;\nPicture \"iVBORw0KGgo=\";\nExpr y = x;\n");
  const std::string out = TempPath("picture.png");
  int status = -1;
  const std::string errors =
      ZlErrors("--export " + document + " --png " + out + " --size 60x40" + kHangTimeout, &status);
  EXPECT_EQ(status, 0);
  const std::string notice = "zl: " + document + ": 1 picture cannot be read; the export leaves it out\n";
  EXPECT_NE(errors.find(notice), std::string::npos) << errors;
  EXPECT_EQ(errors.find("cannot be read"), errors.rfind("cannot be read")) << errors;
  EXPECT_EQ(errors.find("libpng"), std::string::npos) << errors;
  for (const std::string& path : {document, out}) std::remove(path.c_str());
}

// A file's NaN, infinite and overflowing 3-D ranges are left unread, said once on
// standard error: the surface is graphed over the default ranges instead
// of leaving the view blank.
TEST(HeadlessExport, UnusableRangesAreReportedAndTheDefaultsGraphed) {
  const auto exported = [](const std::string& ranges, std::string* errors) {
    const std::string document =
        WriteDocument("ranges.zlf", "Zentrolabworksheet 4;\n" + ranges + "Expr z = x^2 - y^2;\n");
    const std::string out = TempPath("ranges.png");
    int status = -1;
    *errors = ZlErrors("--export " + document + " --png " + out + " --size 300x200 --timeout 600", &status);
    EXPECT_EQ(status, 0) << ranges;
    const QImage picture = QImage(QString::fromStdString(out)).convertToFormat(QImage::Format_RGB32);
    for (const std::string& path : {document, out}) std::remove(path.c_str());
    return picture;
  };
  std::string errors;
  const QImage plain = exported("", &errors);
  EXPECT_EQ(errors.find("no view can use"), std::string::npos) << errors;
  const QImage refused = exported("3D.X NaN 1;\n3D.Y -1e308 1e308;\n3D.Z -Infinity 1;\n", &errors);
  EXPECT_NE(errors.find("3 settings hold numbers no view can use"), std::string::npos) << errors;
  ASSERT_EQ(refused.size(), plain.size());
  EXPECT_EQ(PixelsFartherThanOne(refused, plain, 8), 0);
}

// A document storing no view shows each view as a new one is made: the
// same picture as with that orientation written out.
TEST(HeadlessExport, ADocumentStoringNoViewShowsEachViewsDefaultOrientation) {
  const auto space = DefaultSpaceOrientation();
  const auto fourD = DefaultFourDOrientation();
  const std::string surface = "Expr z = x*y;\n";
  const std::pair<std::string, std::string> sets[] = {
      {ViewStatement("3D.View", space.data(), 9), surface},
      {ViewStatement("3Dp.View", space.data(), 9), surface + "Expr vector('x''','y''','z''') = vector(x, y, z + x);\n"},
      {ViewStatement("4D.View", fourD.data(), 16), "Expr w = z^2;\n"}};
  for (const auto& [view, graphs] : sets) {
    std::string errors;
    const QImage bare = ExportOf(graphs, &errors), written = ExportOf(view + graphs, &errors);
    ASSERT_EQ(bare.size(), written.size());
    EXPECT_EQ(PixelsFartherThanOne(bare, written, 8), 0) << view;
  }
}

// A box thinner than the view's floats resolve (equal ends the thinnest),
// a depth no zoom of the view comes near and a range with equal ends are
// refused in the words of any unusable number, once a statement, the
// defaults drawn in their place.
TEST(HeadlessExport, AnUnusableBoxOrDepthIsSaidAndTheDefaultsGraphed) {
  std::string errors;
  const QImage plain = ExportOf("Expr z = x*y;\n", &errors);
  for (const std::string setting :
       {"3D.Z 0 1e-50;\n", "3D.Depth 5e-324;\n", "3D.Z 5 5;\n", "4D.Z 1 1;\n", "T 5 5;\n", "T NaN 1;\n"}) {
    const QImage refused = ExportOf(setting + "Expr z = x*y;\n", &errors);
    EXPECT_NE(errors.find("1 setting holds numbers no view can use"), std::string::npos) << setting << errors;
    ASSERT_EQ(refused.size(), plain.size());
    EXPECT_EQ(PixelsFartherThanOne(refused, plain, 8), 0) << setting;
  }
}

// A stored window far past the picture bound is scaled down keeping its
// shape, and --size too, each with a warning; the graphs are done well
// within the timeout, which only guards against a hang.
TEST(HeadlessExport, LargePicturesAreClampedWithAWarning) {
  const std::string document =
      WriteDocument("big.zlf", "Zentrolabworksheet 4;\nWindow 0 0 32767 32767;\nExpr y = sin(x);\n");
  const std::string out = TempPath("big.png");
  int status = -1;
  std::string errors = ZlErrors("--export " + document + " --png " + out + " --timeout 600", &status);
  EXPECT_EQ(status, 0) << errors;
  EXPECT_NE(errors.find("a picture of 32767x32767 is more than an export makes"), std::string::npos) << errors;
  const QSize clamped = QImageReader(QString::fromStdString(out)).size();
  EXPECT_EQ(clamped.width(), clamped.height());
  EXPECT_LE(clamped.width(), 8192);
  EXPECT_LE(int64_t(clamped.width()) * clamped.height(), 40'000'000);
  EXPECT_GT(int64_t(clamped.width() + 1) * (clamped.height() + 1), 40'000'000);
  std::remove(out.c_str());
  errors = ZlErrors("--export " + document + " --png " + out + " --size 9000x50 --timeout 600", &status);
  EXPECT_EQ(status, 0) << errors;
  EXPECT_NE(errors.find("a picture of 9000x50 is more than an export makes"), std::string::npos) << errors;
  EXPECT_EQ(QImageReader(QString::fromStdString(out)).size().width(), 8192);
  for (const std::string& path : {document, out}) std::remove(path.c_str());
}

// With no time at all the large picture is still written unfinished, or,
// when its encoding cannot finish within the second after the timeout, not
// at all; either way the status and the words say which.
TEST(HeadlessExport, ALargePictureOutOfTimeIsWrittenUnfinishedOrNotAtAllAndSaysWhich) {
  const std::string document =
      WriteDocument("late.zlf", "Zentrolabworksheet 4;\nWindow 0 0 32767 32767;\nExpr y = sin(x);\n");
  const std::string out = TempPath("late.png");
  int status = -1;
  const std::string errors = ZlErrors("--export " + document + " --png " + out + " --timeout 0", &status);
  EXPECT_EQ(status, 2) << errors;
  ExpectUnfinishedOrNoPictureAndWhich(errors, out);
  for (const std::string& path : {document, out}) std::remove(path.c_str());
}

// 3,000 labelled points in space past a timeout already spent: the
// computing, the labels and the encoding each stop at it, whatever the
// machine's speed, and the export says so with its status and writes what
// it drew, or says it had no time to.
TEST(HeadlessExport, ThreeThousandLabelsStopAtTheTimeout) {
  const std::string document = WriteDocument("labels.zlf", "Zentrolabworksheet 4;\n" + LabelledPointsStatements(3000));
  const std::string out = TempPath("labels.png");
  int status = -1;
  const std::string errors =
      ZlErrors("--export " + document + " --png " + out + " --size 600x400 --timeout 0", &status);
  EXPECT_EQ(status, 2) << errors;
  ExpectUnfinishedOrNoPictureAndWhich(errors, out, QSize(600, 400));
  for (const std::string& path : {document, out}) std::remove(path.c_str());
}

// Messages under the equations are part of the picture: equal bytes mean
// equal messages too.
TEST(HeadlessExport, OneDocumentGivesTheSameBytesAloneOrSixteenAtOnce) {
  const std::string document =
      WriteDocument("same.zlf",
                    "Zentrolabworksheet 4;\nExpr k = slider(0, 10, 20);\nExpr y = sum(cos(k*x)/k, k = 1, 8);\n"
                    "Expr y = x + 1000;\nExpr y = 1/x;\n");
  const auto exportTo = [&](const std::string& out) {
    return "--export " + document + " --png " + out + " --size 400x300" + kHangTimeout;
  };
  const std::string first = TempPath("same_first.png");
  ASSERT_EQ(Zl(exportTo(first)), 0);
  const std::string bytes = FileBytes(first);
  ASSERT_FALSE(bytes.empty());
  for (int run = 1; run < 20; ++run) {
    const std::string out = TempPath("same_again.png");
    ASSERT_EQ(Zl(exportTo(out)), 0);
    EXPECT_TRUE(FileBytes(out) == bytes) << "run " << run;
    std::remove(out.c_str());
  }
  std::string together;
  for (int run = 0; run < 16; ++run)
    together += std::string(ZL_EXECUTABLE) + " " + exportTo(TempPath("same_" + std::to_string(run) + ".png")) +
                " >/dev/null 2>&1 & ";
  ASSERT_EQ(std::system((together + "wait").c_str()), 0);
  for (int run = 0; run < 16; ++run) {
    const std::string out = TempPath("same_" + std::to_string(run) + ".png");
    EXPECT_TRUE(FileBytes(out) == bytes) << "run " << run << " of sixteen";
    std::remove(out.c_str());
  }
  for (const std::string& path : {document, first}) std::remove(path.c_str());
}

}  // namespace
