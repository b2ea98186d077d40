// Drawing one laid-out formula into an image through a graphics context,
// beside QPainter::drawText of the same texts at the same places.
#include "expression/ExpressionParser.h"
#include "expression/SymbolTable.h"
#include "expression/TreeWalking.h"
#include "matheditor/LayoutPipeline.h"
#include "platform/FontFaces.h"
#include "platform/OurPort.h"
#include "tools/FormulaImages.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

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
      text = n->payload.id < 256 ? QString(QChar(n->payload.id)) : QString::fromUtf16(GetVariableStringFromID(n->payload.id));
    if (!text.isEmpty()) texts.push_back({text, QPointF(e.left + 4, e.bottom - e.descent + 4), 24});
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

BENCHMARK(BM_FormulaDraw);
BENCHMARK(BM_FormulaDrawPort);
BENCHMARK(BM_FormulaDrawTextBaseline);

}  // namespace
