#pragma once

#include <functional>
#include <optional>

class QWidget;

// The ranges of a 2-D view that the zoom dialog shows and sets, each low
// then high.
struct ZoomRanges {
  double x[2], y[2], t[2], r[2], theta[2];
};

// No answer means the user cancelled. A test may answer in the dialog's place.
using ZoomRangesQuestion = std::function<std::optional<ZoomRanges>(QWidget* window, const ZoomRanges& current)>;
void SetZoomRangesQuestion(ZoomRangesQuestion question);  // null: the dialog
std::optional<ZoomRanges> AskZoomRanges(QWidget* window, const ZoomRanges& current);
