// A digit typed at the end of a 1,000-node formula in the math pane (the
// key, the new layout and the pane redrawn into its port), median and 99th
// percentile over 1,000 keys, beside QPainter::drawText of the formula's
// text runs at the same sizes and places in the same port.
#include "document/DocumentHooks.h"
#include "document/DocumentRecord.h"
#include "document/DocumentWindow.h"
#include "document/MathPaneDrawing.h"
#include "document/MathPaneEditing.h"
#include "expression/SymbolTable.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeWalking.h"
#include "matheditor/LineBreaking.h"
#include "matheditor/MathEditInterface.h"
#include "matheditor/MathEditorStartup.h"
#include "platform/FontFaces.h"
#include "platform/OurPort.h"

#include <QPainter>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace {

constexpr int kKeys = 1000;
constexpr int kTerms = 333;  // x^k three nodes each, and the number typed into

struct Placed {
  QString text;
  QPointF baseline;
  int size;
};

// The leaves' texts where the pane draws them.
std::vector<Placed> TextRuns(MERecord* r) {
  MESetCurrentEqn(r, r->window);
  std::vector<Placed> runs;
  for (ExpressionRecord* n = r->root; n; n = NextTopDownWithin(n, r->root)) {
    QString text;
    if (n->opcode == kOpNumber) text = QString::fromUtf16(n->payload.number->text);
    if (n->opcode == kOpAtom) text = QString(QChar(char16_t(n->payload.id)));
    if (text.isEmpty()) continue;
    const EditData& e = *n->editData;
    const FPoint at = ToDisplay(e.left, e.bottom - e.descent);
    runs.push_back({text, QPointF(at.h + r->drawRect[kDrawLeft], at.v + r->drawRect[kDrawTop]),
                    int(r->sizeTable[std::min<int>(e.sizeLevel, 5)])});
  }
  return runs;
}

struct Timing {
  double median;
  double p99;
};

// Times the step kKeys times, running the untimed step after each.
Timing Measure(
    const std::function<void()>& step, const std::function<void()>& untimed = [] {}) {
  std::vector<double> ms;
  for (int i = 0; i < kKeys; ++i) {
    const auto start = std::chrono::steady_clock::now();
    step();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    untimed();
  }
  std::sort(ms.begin(), ms.end());
  return {ms[ms.size() / 2], ms[ms.size() * 99 / 100]};
}

void BM_DigitTypedInTheMathPane(benchmark::State& state) {
  InstallDocumentHooks();
  InstallMathEditor();
  InstallDocumentMathEditGlobals();
  DocumentRecord document;
  DocumentWindow window;
  window.document = &document;
  window.mathPanePort = NewOffscreenPort(QRect(0, 0, 800, 3000));

  ExpressionRecord* sum = NewExpression(kOpPlus, kTerms + 1);
  for (int32_t i = 0; i < kTerms; ++i) {
    sum->operands[i] = NewBinop(kOpPower, Atomic('x'), Number(i % 9 + 1));
    sum->operands[i]->parent = sum;
  }
  sum->operands[kTerms] = Number(1);
  sum->operands[kTerms]->parent = sum;
  MBlock block{};
  block.kind = kEquationBlock;
  block.equation = MENew(&window);
  SetEquationTree(block, sum);
  document.fContents.blocks.Add(block);
  MERecord* record = block.equation;
  FocusMathPaneBlock(&window, 0);
  record->selected = sum->operands[kTerms];
  record->caretType = kIPAfterNode;
  RedrawMathPane(&window);

  const std::vector<Placed> runs = TextRuns(record);
  const uint32_t times = FontFaceId(FindFontFamily("Times"), false, false);
  for (auto _ : state) {
    // Each digit is taken back untimed, so that every key meets the same formula.
    const Timing typing = Measure([&] { MathPaneKey(&window, '5', '5', 0); }, [&] { MathPaneKey(&window, 8, 8, 0); });
    const Timing text = Measure([&] {
      QPainter painter(&window.mathPanePort->image);
      QFont font = GetFontFace(times)->font;
      for (const Placed& run : runs) {
        font.setPixelSize(run.size);
        painter.setFont(font);
        painter.drawText(run.baseline, run.text);
      }
    });
    state.counters["median_ms"] = typing.median;
    state.counters["p99_ms"] = typing.p99;
    state.counters["text_median_ms"] = text.median;
    state.counters["text_p99_ms"] = text.p99;
    state.counters["ratio"] = typing.median / text.median;
  }
  int64_t nodes = 0;
  for (ExpressionRecord* n = record->root; n; n = NextTopDownWithin(n, record->root)) ++nodes;
  state.counters["nodes"] = double(nodes);
  state.counters["lines"] = record->lineCount;
  FocusMathPaneBlock(&window, -1);
  document.fContents.blocks.Remove(0);
  DisposeBlockContents(block);
  DisposeOffscreenPort(window.mathPanePort);
}

BENCHMARK(BM_DigitTypedInTheMathPane)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
