#pragma once

#include <QRect>
#include <QSize>

#include <cstdint>

struct DocumentContents;

// Where the two panes stand in a picture of the document window.
struct ExportPanes {
  QRect math;
  QRect graph;
};

// The largest picture an export makes, whether asked for by --size or by
// the document's window rectangle: its memory and encoding time stay
// bounded whatever the file says.
inline constexpr int kLargestExportSide = 8192;
inline constexpr int64_t kLargestExportPixels = 40'000'000;

// The document's window size as stored; a new window's when it has none.
QSize DocumentWindowSize(const DocumentContents& contents);
// The size scaled down, keeping its shape, until each side is at most
// kLargestExportSide and the whole at most kLargestExportPixels; a size
// within both comes back as it is.
QSize ClampExportSize(QSize size);
// The math pane at the left (on top when the panes are stacked), as wide
// (high) as the divider says, the graph pane in the rest; an unusable
// divider splits the window in halves.
ExportPanes LayOutExportPanes(const DocumentContents& contents, QSize size);
