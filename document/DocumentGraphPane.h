#pragma once

#include <memory>
#include <vector>

#include "CoreUtilities/MRect.h"
#include "graphpane/GraphViewRecord.h"
#include "graphs2d/A2DGraphView.h"

class AGraphPane;
class DocumentRecord;
class QWidget;
struct GraphPaneSettings;
struct GraphPicture;

// The ranges of the pane's five views (first and second 2-D, first and
// second 3-D, 4-D) as they were last looked at. A pass of adding equations
// lends the shown view's parameter ranges to every view; what changed a
// view's ranges between looks is the user's, and only that reaches the
// document's settings. Likewise the 2-D views' place on the plane as the
// settings installed it: it stays while the window lays the views out
// anew, and only the user moves it.
struct ViewRangesSeen {
  static constexpr int kViews = 5;
  double ranges[kViews][kCoordDisplayParamCount][2] = {};
  StoredView2D installed2D[2] = {};
};

// The document's stored views go into the pane's views when the pane is
// made, and come back from them before the document is written.
// What a new document and a file without view statements hold: every
// range and orientation at its default, axes and graph paper shown.
void SetDefaultViewSettings(GraphPaneSettings* settings);
// window: the widget the pane's 3-D views may draw over on screen; null
// without a window. The placed pictures move from the document's lists
// into the 2-D views; the pane is to be the document's fGraphPane.
std::unique_ptr<AGraphPane> MakeDocumentGraphPane(DocumentRecord* document, const MRect& rect, QWidget* window);
void InstallPaneSettings(AGraphPane& pane, const GraphPaneSettings& settings);
// Looks at the views' ranges, as they are installed or after a pass lent them.
void LookAtRanges(const AGraphPane& pane, ViewRangesSeen* seen);
// Every view's range that changed since the last look into the settings.
void TakeRangeEdits(const AGraphPane& pane, const ViewRangesSeen& seen, GraphPaneSettings* settings);
// Writes only what the views hold and the user changed. A 2-D view still
// showing what its stored settings gave it leaves them as they were, so
// values the view had to replace by defaults survive a save; so do ranges
// a pass lent.
void StorePaneSettings(const AGraphPane& pane, const ViewRangesSeen& seen, GraphPaneSettings* settings);
// The pictures placed in the first or second 2-D view, as they are to be
// written: the view's own once a pane shows them (moved, pasted or dragged
// away since), then those read that no view took. The pictures stay with
// their owner.
std::vector<GraphPicture> PlacedPictures(const DocumentRecord& document, bool secondView);
