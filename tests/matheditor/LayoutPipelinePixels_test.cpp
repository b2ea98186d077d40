#include "CoreUtilities/drawing/OurDrawing.h"
#include "expression/MathEditRecord.h"
#include "expression/OperatorTable.h"
#include "expression/TreeWalking.h"
#include "matheditor/LayoutPipeline.h"
#include "matheditor/LineBreaking.h"
#include "matheditor/MathEditInterface.h"
#include "matheditor/MathTypesetState.h"
#include "platform/FontFaces.h"
#include "platform/OurPort.h"
#include "tests/matheditor/OwnedRecord.h"
#include "tools/FormulaImages.h"

#include <QFile>
#include <QRawFont>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

namespace {

OwnedRecord Typeset(const char* text, float wrap = kNoWrapWidth) {
  OwnedRecord record(TypesetFormulaText(text, 24, wrap));
  EXPECT_NE(record, nullptr) << text;
  return record;
}

uint32_t Rgb(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFFu; }

bool IsInk(const QImage& image, int x, int y, int threshold) {
  return x >= 0 && y >= 0 && x < image.width() && y < image.height() && qGray(image.pixel(x, y)) < threshold;
}

// Every dark pixel of a has ink of b within a pixel; edge pixels of
// antialiased strokes may be lighter in one rasteriser than the other.
bool InkCovered(const QImage& a, const QImage& b) {
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      if (!IsInk(a, x, y, 128)) continue;
      bool near = false;
      for (int dy = -1; dy <= 1 && !near; ++dy)
        for (int dx = -1; dx <= 1 && !near; ++dx) near = IsInk(b, x + dx, y + dy, 200);
      if (!near) return false;
    }
  return true;
}

TEST(FormulaPixels, GalleryMatchesItsGoldens) {
  std::ifstream list(ZL_TEST_DATA_DIR "/matheditor_gallery/gallery.txt");
  std::string line;
  int checked = 0;
  while (std::getline(list, line)) {
    const size_t tab = line.find('\t');
    const std::string name = line.substr(0, tab);
    OwnedRecord record = Typeset(line.substr(tab + 1).c_str());
    const QImage image = FormulaImage(record.get(), 4);
    const QImage golden(QString::fromStdString(ZL_TEST_DATA_DIR "/matheditor_gallery/" + name + ".png"));
    ASSERT_EQ(image.size(), golden.size()) << name;
    int differing = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const uint32_t a = Rgb(image, x, y), b = Rgb(golden, x, y);
        if (std::abs(qGray(a) - qGray(b)) > 64) ++differing;
      }
    EXPECT_LE(differing, image.width() * image.height() / 200) << name;
    ++checked;
  }
  EXPECT_EQ(checked, 28);
}

TEST(FormulaPixels, PdfRasterMatchesThePngWithinAPixel) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const char* text :
       {"a*b + 2*3 + x_1 + \"text\" = pi", "matrix(2,2, 1, 2, 3, 4)", "product(j, j=1, n)",
        "(a + matrix(6,1, 1,2,3,4,5,6))*y", "branch(a, b, c, d, e)", "sqrt(1/(1 + x)) + floor(a/b)"}) {
    OwnedRecord record = Typeset(text);
    const QImage png = FormulaImage(record.get(), 4);
    const QString pdf = dir.filePath("f.pdf");
    ASSERT_TRUE(WriteFormulaPdf(record.get(), 4, pdf));
    const std::string command =
        "pdftoppm -r 72 -png -singlefile " + pdf.toStdString() + " " + dir.filePath("f").toStdString();
    ASSERT_EQ(std::system(command.c_str()), 0) << "pdftoppm (poppler-utils) is needed";
    const QImage raster(dir.filePath("f.png"));
    ASSERT_FALSE(raster.isNull());
    EXPECT_LE(std::abs(raster.width() - png.width()), 1);
    EXPECT_LE(std::abs(raster.height() - png.height()), 1);
    EXPECT_TRUE(InkCovered(png, raster)) << text;
    EXPECT_TRUE(InkCovered(raster, png)) << text;
  }
}

// A primed coordinate as a document's text names it is one atom; typed,
// it is the prime of its letter. Both must show the letter and its prime.
TEST(FormulaPixels, PrimedCoordinatesReadFromTextLookAsTyped) {
  for (const auto& [read, typed] :
       {std::pair{"'x''' + 'y''' = 'z''' * 'r'''", "prime(x) + prime(y) = prime(z) * prime(r)"},
        std::pair{"'theta''' + 'phi'''", "prime(theta) + prime(phi)"}}) {
    OwnedRecord atoms = Typeset(read), primes = Typeset(typed);
    const QImage a = FormulaImage(atoms.get(), 4), b = FormulaImage(primes.get(), 4);
    EXPECT_LE(std::abs(a.width() - b.width()), 2) << read;
    EXPECT_TRUE(InkCovered(a, b)) << read;
    EXPECT_TRUE(InkCovered(b, a)) << read;
  }
}

class PortDrawing : public testing::Test {
 protected:
  void SetUp() override {
    fPort = NewOffscreenPort(QRect(0, 0, 240, 120));
    ASSERT_NE(fPort, nullptr);
    SetCurrentPort(fPort);
  }
  void TearDown() override { DisposeOffscreenPort(fPort); }
  OurPort* fPort = nullptr;
};

TEST_F(PortDrawing, XorCaretTwiceRestoresThePort) {
  OwnedRecord record = Typeset("matrix(2,2, 1, 2, 3, 4) + x");
  record->drawRect[kDrawTop] = 10;
  record->drawRect[kDrawLeft] = 10;
  MEUpdate(record.get(), nullptr, nullptr);
  const QImage drawn = fPort->image.copy();
  record->caretType = kIPWholeNode;
  float x = 0, y1 = 0, y2 = 0;
  MATH_GetIPCoords(&x, &y1, &y2);
  const auto caret = [&] {
    OurPenXor();
    LB_MoveTo(x, y1, nullptr);
    LB_LineTo(x, y2, nullptr);
    DrawBracket(x, y1, 5, y1 - y2, nullptr);
    OurPenNormal();
  };
  caret();
  EXPECT_NE(fPort->image, drawn);
  caret();
  EXPECT_EQ(fPort->image, drawn);
}

TEST_F(PortDrawing, PortPenIsAWholeNumberAtLeastOnePixel) {
  for (const auto& [size, rows] : {std::pair{10.0f, 1}, {39.0f, 1}, {60.0f, 3}}) {
    fPort->image.fill(0xFFFFFFu);
    MathTextSize(size);
    gMathGlobalOffset_x = gMathGlobalOffset_y = 0;
    DIM_MoveTo(20.7f, 30.9f, nullptr);
    DIM_LineTo(80.2f, 30.9f, nullptr);
    int inked = 0;
    for (int y = 0; y < 120; ++y) inked += (fPort->image.pixel(50, y) & 0xFFFFFF) == 0;
    EXPECT_EQ(inked, rows) << size;
    EXPECT_EQ(fPort->image.pixel(20, 30) & 0xFFFFFF, 0u);  // whole-number position, pen hanging below-right
  }
  OurPenNormal();
}

TEST(FormulaPixels, PinnedFacesCoverEveryCharacterDrawn) {
  std::u32string drawn = U"?d0123456789.abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ\u201C\u201D\u2207";
  for (int k = kFirstOperatorKind; k <= kLastOperatorKind; ++k)
    if (const uint32_t c = gOpInfo[k - kFirstOperatorKind].displayCharacter) drawn += static_cast<char32_t>(c);
  for (int i = 0; i < gNumSpecialSymbols; ++i) drawn += static_cast<char32_t>(gSpecialSymbolInfo[i].character);
  for (char32_t c = 0x239B; c <= 0x23AA; ++c) drawn += c;
  const uint32_t family = FindFontFamily("Times");
  const QRawFont fallback = QRawFont::fromFont(GetFontFace(FallbackFontFace())->font);
  for (const bool bold : {false, true})
    for (const bool italic : {false, true}) {
      const QRawFont face = QRawFont::fromFont(GetFontFace(FontFaceId(family, bold, italic))->font);
      for (const char32_t c : drawn)
        EXPECT_TRUE(face.supportsCharacter(c) || fallback.supportsCharacter(c)) << std::hex << uint32_t(c);
    }
}

constexpr int kMargin = 4;

const ExpressionRecord* FirstOfKind(const ExpressionRecord* root, OpCodeT kind) {
  for (ExpressionRecord* n = const_cast<ExpressionRecord*>(root); n; n = NextTopDownWithin(n, root))
    if (n->opcode == kind) return n;
  return nullptr;
}

bool RowHasInk(const QImage& image, int y, int x0, int x1) {
  for (int x = std::max(x0, 0); x < std::min(x1, image.width()); ++x)
    if (qGray(image.pixel(x, y)) < 200) return true;
  return false;
}

// An opening bracket stacked from pieces: every pixel row from the top of
// its upper hook to the bottom of its lower hook has ink in its column.
void ExpectUnbroken(const char* text, float size) {
  OwnedRecord record(TypesetFormulaText(text, size, kNoWrapWidth));
  ASSERT_NE(record, nullptr) << text;
  const ExpressionRecord* bracket = FirstOfKind(record->root, kOpId);
  if (!bracket) bracket = FirstOfKind(record->root, kOpBranch);
  ASSERT_NE(bracket, nullptr) << text;
  const EditData& e = *bracket->editData;
  const bool stacked = bracket->opcode == kOpBranch || e.ascent + e.descent - 0.2f * size > 2.438f * size;
  if (!stacked) return;  // one glyph of the font
  const QImage image = FormulaImage(record.get(), kMargin);
  const int x0 = kMargin + static_cast<int>(e.left);
  const int x1 = kMargin + static_cast<int>(e.left + bracket->operands[0]->editData->leftOffset);
  int first = -1, last = -1;
  for (int y = 0; y < image.height(); ++y)
    if (RowHasInk(image, y, x0, x1)) {
      if (first < 0) first = y;
      last = y;
    }
  ASSERT_GE(first, 0) << text << " at " << size;
  for (int y = first; y <= last; ++y)
    ASSERT_TRUE(RowHasInk(image, y, x0, x1)) << text << " at " << size << ": row " << y;
  // The stack reaches over the content, not just a hook of it.
  EXPECT_GE(last - first + 1, static_cast<int>(0.6f * (e.ascent + e.descent))) << text << " at " << size;
}

std::string Column(const char* open, int rows, const char* close) {
  std::string text = std::string(open) + "matrix(" + std::to_string(rows) + ",1";
  for (int i = 0; i < rows; ++i) text += ", " + std::to_string(i);
  return text + ")" + close;
}

TEST(BracketPixels, StackedParenthesesAndBracesLeaveNoGap) {
  for (const float size : {12.0f, 24.0f})
    for (int rows = 1; rows <= 25; ++rows) {
      ExpectUnbroken(Column("(a + ", rows, ")*y").c_str(), size);
      ExpectUnbroken(Column("branch(", rows, ", b)").c_str(), size);
    }
}

}  // namespace
