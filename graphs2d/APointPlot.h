#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "graphpane/A2DGraph.h"
#include "graphpane/OwnedHandles.h"
#include "graphs2d/A2DTransform.h"
#include "graphs2d/GraphJobs.h"

class AGraphColor;
class AnExpression;
class DocumentRecord;

// One point of a 2-D view, or a complex parameter the user drags, shown as a
// dot, a picture or a symbol, with an optional label to its right.
class APointPlot : public A2DGraph {
 public:
  // Takes over the expressions and the colour; symbol, label and size may be
  // null.
  APointPlot(Compiled x, Compiled y, Compiled symbol, Compiled label, Compiled size, Colour colour, bool draggable,
             const A2DTransform& transform);
  ~APointPlot() override;

  int32_t Compute(int32_t slice) override;
  bool IsDoneComputing() override { return fDone.load(std::memory_order_acquire); }
  int32_t GraphVisibility() override { return 0; }
  void InvalConstant(int32_t variableId) override;
  void SetParameter(ViewAttribute attribute, double value) override;
  void ViewChanged() override {}
  bool UsesGrainSlider() override { return false; }
  void Draw() override;
  void Resize() override {}
  void Pan(int32_t, int32_t) override {}
  bool IsPointOverCurve(double x, double y) override;
  Selection GetSelection(double x, double y) override;
  void PauseComputing() override {}
  int32_t GraphClass() override { return kGraphClassPoints; }

  double X() const { return fX.load(std::memory_order_relaxed); }
  double Y() const { return fY.load(std::memory_order_relaxed); }
  double Size() const { return fSize; }
  // Where the label starts right of the point's pixel; valid after Draw.
  int32_t LabelOffset() const { return fLabelOffset; }
  // The view's text size: fonts are this many points per size point.
  static constexpr double kDefaultSize = 9.0;

 private:
  void Stop();
  void Submit();

  const A2DTransform& fTransform;
  DocumentRecord* fDocument;
  std::unique_ptr<AnExpression> fXExpression;
  std::unique_ptr<AnExpression> fYExpression;
  std::unique_ptr<AnExpression> fSymbolExpression;
  std::unique_ptr<AnExpression> fLabelExpression;
  std::unique_ptr<AnExpression> fSizeExpression;
  std::unique_ptr<AGraphColor> fColour;
  // The view drags the point while a recomputation may run.
  std::atomic<double> fX{0}, fY{0};
  double fSize = kDefaultSize;
  // Copied out of the tables: a table edited before the graph goes must not
  // leave them dangling.
  std::u16string fSymbol, fLabel;
  bool fHasSymbol = false, fHasLabel = false;
  int32_t fLabelOffset = 0;
  std::atomic<bool> fDone{false};
  bool fDraggable;
  GraphJobs fJobs;
};
