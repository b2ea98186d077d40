#pragma once

#include <cstdint>
#include <memory>

#include "evaluation/AnExpression.h"

using GraphColorType = int32_t;

// What the compiled expressions need of a graph's colour: its kind and the
// three colour equations it owns for the equation kinds (red, green, blue
// or hue, saturation, value); the graph pane's AGraphColor builds on it.
class AColorEquations {
 public:
  static constexpr GraphColorType kRGBEquations = 9;
  static constexpr GraphColorType kHSVEquations = 10;

  AColorEquations() = default;
  AColorEquations(const AColorEquations&) = delete;
  AColorEquations& operator=(const AColorEquations&) = delete;
  virtual ~AColorEquations() = default;

  static void Cancel(AColorEquations* colour) { colour->SetEquationsCancel(true); }
  static void ClearCancelFlag(AColorEquations* colour) { colour->SetEquationsCancel(false); }
  static void InvalConstants(AColorEquations* colour) {
    if (!colour->HasColorEquations()) return;
    for (const std::unique_ptr<AnExpression>& e : colour->fColorExpressions) {
      if (e != nullptr) e->InvalConstants();
    }
  }

  GraphColorType fType = 0;
  // The equation type a fragment program took over from.
  GraphColorType fSavedType = 0;
  std::unique_ptr<AnExpression> fColorExpressions[3];

 protected:
  bool HasColorEquations() const { return fType == kRGBEquations || fType == kHSVEquations; }
  void SetEquationsCancel(bool cancel) {
    if (!HasColorEquations()) return;
    for (const std::unique_ptr<AnExpression>& e : fColorExpressions) {
      if (e != nullptr) e->SetCancel(cancel);
    }
  }
};
