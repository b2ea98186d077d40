// Drawing one laid-out formula into an image through a graphics context,
// beside QPainter::drawText of the same texts at the same places; laying
// out a 200-formula document beside summing cached advances of its texts;
// and the per-node cost of long sums, deep fractions and big matrices.
#include "expression/ExpressionParser.h"
#include "expression/SymbolTable.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeWalking.h"
#include "matheditor/LayoutPipeline.h"
#include "platform/FontFaces.h"
#include "platform/OurPort.h"
#include "tools/FormulaImages.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

constexpr const char* kFormula = "a*b + 2*3 + x_1 + \"text\" = pi + div(v) + ln(velocity) + product(j, j=1, n)";

struct Placed {
  QString text;
  QPointF baseline;
  float size;
};

// The texts a pass draws: the leaves' own.
std::vector<Placed> LeafTexts(ExpressionRecord* root) {
  std::vector<Placed> texts;
  for (ExpressionRecord* n = root; n; n = NextTopDownWithin(n, root)) {
    const EditData& e = *n->editData;
    QString text;
    if (n->opcode == kOpNumber) text = QString::fromUtf16(n->payload.number->text);
    if (n->opcode == kOpString) text = QString::fromUtf16(n->text);
    if (n->opcode == kOpAtom)
      text = n->payload.id < 256 ? QString(QChar(n->payload.id))
                                 : QString::fromUtf16(GetVariableStringFromID(n->payload.id));
    const float size = gMathScriptSize[std::min<int>(e.sizeLevel, 5)];
    if (!text.isEmpty()) texts.push_back({text, QPointF(e.left + 4, e.bottom - e.descent + 4), size});
  }
  return texts;
}

void BM_FormulaDraw(benchmark::State& state) {
  MERecord* record = TypesetFormulaText(kFormula, 24, kNoWrapWidth);
  QImage image = FormulaImage(record, 4);
  for (auto _ : state) {
    QPainter painter(&image);
    MathGraphicsContext context{&painter, {}};
    gMathCurrentMEH = record;
    OUTPUT_DrawExpression(record->root, &context);
  }
  state.counters["leaves"] = static_cast<double>(LeafTexts(record->root).size());
  MEDispose(record);
}

// The same pass into a window's port, at whole pixels.
void BM_FormulaDrawPort(benchmark::State& state) {
  MERecord* record = TypesetFormulaText(kFormula, 24, kNoWrapWidth);
  const QImage image = FormulaImage(record, 4);
  OurPort* port = NewOffscreenPort(QRect(QPoint(0, 0), image.size()));
  SetCurrentPort(port);
  for (auto _ : state) {
    gMathCurrentMEH = record;
    OUTPUT_DrawExpression(record->root, nullptr);
  }
  DisposeOffscreenPort(port);
  MEDispose(record);
}

void BM_FormulaDrawTextBaseline(benchmark::State& state) {
  MERecord* record = TypesetFormulaText(kFormula, 24, kNoWrapWidth);
  QImage image = FormulaImage(record, 4);
  const std::vector<Placed> texts = LeafTexts(record->root);
  QFont font = GetFontFace(FontFaceId(FindFontFamily("Times"), false, false))->font;
  font.setPixelSize(24);
  for (auto _ : state) {
    QPainter painter(&image);
    painter.setFont(font);
    for (const Placed& p : texts) painter.drawText(p.baseline, p.text);
  }
  MEDispose(record);
}

int64_t NodeCount(ExpressionRecord* root) {
  int64_t n = 0;
  for (ExpressionRecord* e = root; e; e = NextTopDownWithin(e, root)) ++n;
  return n;
}

// Formulas of the gallery at mixed sizes, every fifth one broken into lines.
constexpr const char* kGalleryFormulas[] = {
    "a*b + 2*3 + x_1 + \"text\" = pi",
    "integral(f, x, 0, 1)",
    "matrix(2,2, 1, 2, 3, 4)",
    "(a+b)*c + (a + 1/(1 + 1/(1 + 1/x)))*y",
    "choice(n, k) + choice(n + 1, matrix(3,1, a, b, c))",
    "branch(x, -x) + branch(a, b, c, d, e)",
    "sqrt(x) + sqrt(x, 3) + sqrt(1/(1 + x))",
    "x^2 + sin(x)^2 + x_1^2 + e^(a/b)",
    "1.5e300 + 6.02e23",
    "(a+b)/(c+d) + 1/(1 + 1/x)",
    "log(x) + log(x, 2) + function(g, a/b) + function(optotal(x), y)",
    "besselj(x, 2) + grad(f, x) + lap(u)",
    "-x + plusorminus(x) + n! + prime(f) + superscriptT(A)",
    "set(x) + floor(a/b) + ceil(x) + abs(a/b)",
    "overline(z) + substitution(f, 0, 1) + oppartial(y) + interval(0, a/b) + hat(x)"};

struct Document {
  std::vector<MERecord*> records;
  std::vector<std::vector<Placed>> texts;
  Document() {
    static constexpr float kSizes[] = {12, 18, 24};
    constexpr int kFormulas = static_cast<int>(std::size(kGalleryFormulas));
    for (int i = 0; i < 200; ++i) {
      MERecord* r = TypesetFormulaText(kGalleryFormulas[i % kFormulas], kSizes[i % 3], i % 5 == 0 ? 120 : kNoWrapWidth);
      if (!r) continue;
      records.push_back(r);
      gMathScriptSize = r->sizeTable;
      texts.push_back(LeafTexts(r->root));
    }
  }
  ~Document() {
    for (MERecord* r : records) MEDispose(r);
  }
  int64_t Nodes() const;
  int64_t Texts() const {
    int64_t n = 0;
    for (const auto& t : texts) n += static_cast<int64_t>(t.size());
    return n;
  }
  // Every record is measured afresh, as after an edit.
  void LayOut() {
    for (MERecord* r : records) {
      gMathCurrentMEH = r;
      ORIGINS_RecalculateAndDraw2();
      MATH_Hmm();
    }
  }
};

QFont TimesAt(float size) {
  QFont font = GetFontFace(FontFaceId(FindFontFamily("Times"), false, false))->font;
  font.setPixelSize(static_cast<int>(size));
  return font;
}

void BM_DocumentLayout(benchmark::State& state) {
  Document document;
  for (auto _ : state) document.LayOut();
  state.counters["formulas"] = static_cast<double>(document.records.size());
  state.counters["nodes"] = static_cast<double>(document.Nodes());
  state.counters["texts"] = static_cast<double>(document.Texts());
}

// The baseline: every text's width from advances cached per character and size.
void BM_DocumentCachedAdvances(benchmark::State& state) {
  Document document;
  QHash<quint64, qreal> advances;
  for (const auto& texts : document.texts)
    for (const Placed& p : texts) {
      const QFontMetricsF metrics(TimesAt(p.size));
      for (const QChar c : p.text) advances.insert((quint64(p.size) << 16) | c.unicode(), metrics.horizontalAdvance(c));
    }
  for (auto _ : state) {
    qreal total = 0;
    for (const auto& texts : document.texts)
      for (const Placed& p : texts)
        for (const QChar c : p.text) total += advances.value((quint64(p.size) << 16) | c.unicode());
    benchmark::DoNotOptimize(total);
  }
}

void BM_DocumentLayoutAndDraw(benchmark::State& state) {
  Document document;
  QImage image(1200, 400, QImage::Format_RGB32);
  for (auto _ : state) {
    document.LayOut();
    QPainter painter(&image);
    for (MERecord* r : document.records) {
      gMathCurrentMEH = r;
      MathGraphicsContext context{&painter, {}};
      OUTPUT_DrawExpression(r->root, &context);
    }
  }
}

void BM_DocumentDrawText(benchmark::State& state) {
  Document document;
  QImage image(1200, 400, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&image);
    for (const auto& texts : document.texts)
      for (const Placed& p : texts) {
        painter.setFont(TimesAt(p.size));
        painter.drawText(p.baseline, p.text);
      }
  }
}

// A record holding a built tree, laid out at a wrap width.
MERecord* RecordOf(ExpressionRecord* tree) {
  MERecord* r = TypesetFormulaText("x", 24, kNoWrapWidth);
  DisposExpr(r->root);
  r->root = tree;
  r->selected = tree;
  gMathCurrentMEH = r;
  ORIGINS_RecalculateAndDraw2();
  MATH_Hmm();
  return r;
}

int64_t Document::Nodes() const {
  int64_t n = 0;
  for (MERecord* r : records) n += NodeCount(r->root);
  return n;
}

// Lays the record out again per iteration; items are nodes.
void RelayOut(benchmark::State& state, MERecord* r) {
  for (auto _ : state) {
    gMathCurrentMEH = r;
    ORIGINS_RecalculateAndDraw2();
    MATH_Hmm();
  }
  state.SetItemsProcessed(state.iterations() * NodeCount(r->root));
  state.counters["lines"] = r->lineCount;
  MEDispose(r);
}

ExpressionRecord* LongSum(int64_t terms) {
  ExpressionRecord* sum = NewExpression(kOpPlus, static_cast<int32_t>(terms));
  for (int32_t i = 0; i < terms; ++i) {
    sum->operands[i] = NewBinop(kOpPower, Atomic('x'), Number(i % 9 + 1));
    sum->operands[i]->parent = sum;
  }
  return sum;
}

void BM_LongSum(benchmark::State& state) {
  MERecord* r = RecordOf(LongSum(state.range(0)));
  // Wider than the default wrap width: one line needs a wider one.
  const float width = r->root->editData->width;
  r->wrapWidth = state.range(1) > 1 ? width / static_cast<float>(state.range(1)) * 1.02f : 2 * width;
  RelayOut(state, r);
}

void BM_NestedFraction(benchmark::State& state) {
  ExpressionRecord* f = Atomic('x');
  for (int64_t i = 0; i < state.range(0); ++i) f = NewBinop(kOpOver, Number(1), NewBinop(kOpPlus, Number(1), f));
  RelayOut(state, RecordOf(f));
}

void BM_Matrix(benchmark::State& state) {
  const int32_t n = static_cast<int32_t>(state.range(0));
  ExpressionRecord* m = NewExpression(kOpMatrix, n * n);
  for (int32_t i = 0; i < n * n; ++i) {
    m->operands[i] = NewBinop(kOpOver, Atomic('a'), Number(i % 7 + 2));
    m->operands[i]->parent = m;
  }
  m->payload.shape = {static_cast<uint16_t>(n), static_cast<uint16_t>(n)};
  RelayOut(state, RecordOf(m));
}

BENCHMARK(BM_DocumentLayout);
BENCHMARK(BM_DocumentCachedAdvances);
BENCHMARK(BM_DocumentLayoutAndDraw);
BENCHMARK(BM_DocumentDrawText);
BENCHMARK(BM_LongSum)->Args({1000, 1})->Args({10000, 1})->Args({10000, 10})->Args({10000, 200});
BENCHMARK(BM_NestedFraction)->Arg(5)->Arg(50);
BENCHMARK(BM_Matrix)->Arg(10)->Arg(100);
BENCHMARK(BM_FormulaDraw);
BENCHMARK(BM_FormulaDrawPort);
BENCHMARK(BM_FormulaDrawTextBaseline);

}  // namespace
