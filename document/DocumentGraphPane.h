#pragma once

#include <memory>

#include "CoreUtilities/MRect.h"

class AGraphPane;
class DocumentRecord;
class QWidget;
struct GraphPaneSettings;

// The document's stored views go into the pane's views when the pane is
// made, and come back from them before the document is written.
// What a new document and a file without view statements hold: every
// range and orientation at its default, axes and graph paper shown.
void SetDefaultViewSettings(GraphPaneSettings* settings);
// window: the widget the pane's 3-D views may draw over on screen; null
// without a window.
std::unique_ptr<AGraphPane> MakeDocumentGraphPane(DocumentRecord* document, const MRect& rect, QWidget* window);
void InstallPaneSettings(AGraphPane& pane, const GraphPaneSettings& settings);
// Writes only what the views hold. A 2-D view still showing what its
// stored settings gave it leaves them as they were, so values the view
// had to replace by defaults survive a save.
void StorePaneSettings(const AGraphPane& pane, GraphPaneSettings* settings);
