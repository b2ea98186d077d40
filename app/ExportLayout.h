#pragma once

#include <QRect>
#include <QSize>

struct DocumentContents;

// Where the two panes stand in a picture of the document window.
struct ExportPanes {
  QRect math;
  QRect graph;
};

// The largest picture side an export makes, whether asked for by --size or
// by the document's window rectangle.
inline constexpr int kLargestExportSide = 16384;

// The document's window size, each side at most kLargestExportSide; a new
// window's when it has none.
QSize DocumentWindowSize(const DocumentContents& contents);
// The math pane at the left (on top when the panes are stacked), as wide
// (high) as the divider says, the graph pane in the rest; an unusable
// divider splits the window in halves.
ExportPanes LayOutExportPanes(const DocumentContents& contents, QSize size);
