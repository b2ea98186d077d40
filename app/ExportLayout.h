#pragma once

#include <QRect>
#include <QSize>

struct DocumentContents;

// Where the two panes stand in a picture of the document window.
struct ExportPanes {
  QRect math;
  QRect graph;
};

// The document's window size; a new window's when it has none.
QSize DocumentWindowSize(const DocumentContents& contents);
// The math pane at the left (on top when the panes are stacked), as wide
// (high) as the divider says, the graph pane in the rest; an unusable
// divider splits the window in halves.
ExportPanes LayOutExportPanes(const DocumentContents& contents, QSize size);
