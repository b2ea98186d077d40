#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "graphpane/A2DGraph.h"
#include "graphpane/OwnedHandles.h"
#include "graphs2d/A2DTransform.h"
#include "graphs2d/GraphJobs.h"
#include "renderer/CountedMemory.h"

class AGraphColor;
class AnExpression;
class DocumentRecord;

// The rows of a document's tables as points: x and y from column
// expressions, and per row an optional condition, radius, symbol, label,
// text size and colour.
class AData2DPlot : public A2DGraph {
 public:
  // Takes over the expressions (all but x and y may be null) and the colour.
  AData2DPlot(Compiled x, Compiled y, Colour colour, Compiled condition, Compiled radius, Compiled symbol,
              Compiled label, Compiled fontSize, const A2DTransform& transform, DocumentRecord* document);
  ~AData2DPlot() override;

  int32_t Compute(int32_t slice) override;
  bool IsDoneComputing() override;
  int32_t GraphVisibility() override { return 0; }
  void InvalConstant(int32_t variableId) override;
  void SetParameter(ViewAttribute attribute, double value) override;
  void ViewChanged() override {}
  bool UsesGrainSlider() override { return false; }
  void Draw() override;
  void Resize() override {}
  void Pan(int32_t, int32_t) override {}
  bool IsPointOverCurve(double, double) override { return false; }
  Selection GetSelection(double, double) override { return Selection{}; }
  void PauseComputing() override {}
  bool GetDataBounds(double* xLow, double* xHigh, double* yLow, double* yHigh) override;

  bool Contains(int32_t variableId) const;
  int32_t RowCount() const { return fRows; }
  int32_t Computed() const { return fComputed.load(std::memory_order_acquire); }
  // Row k from 0; NaN for a hidden row.
  double X(int32_t k) const { return fX[k]; }
  double Y(int32_t k) const { return fY[k]; }

 private:
  // A row's text, copied out of its table: a table edited while the graph
  // stands must not leave it dangling.
  struct RowText {
    bool present = false;
    std::u16string text;
  };
  void Stop();
  void Submit();
  void Allocate();
  bool HasExplicitColour() const;

  const A2DTransform& fTransform;
  DocumentRecord* fDocument;
  std::unique_ptr<AnExpression> fXExpression;
  std::unique_ptr<AnExpression> fYExpression;
  std::unique_ptr<AnExpression> fCondition;
  std::unique_ptr<AnExpression> fRadiusExpression;
  std::unique_ptr<AnExpression> fSymbolExpression;
  std::unique_ptr<AnExpression> fLabelExpression;
  std::unique_ptr<AnExpression> fFontSizeExpression;
  std::unique_ptr<AGraphColor> fColour;
  int32_t fRows = 0;
  CountedArray<double> fX;
  CountedArray<double> fY;
  CountedArray<double> fRadius;
  CountedArray<double> fFontSize;
  CountedArray<uint32_t> fRowColour;
  std::unique_ptr<RowText[]> fSymbol;
  std::unique_ptr<RowText[]> fLabel;
  std::atomic<int32_t> fComputed{0};
  GraphJobs fJobs;
};
