#pragma once

#include <memory>
#include <vector>

#include "CoreUtilities/MRect.h"

class AGraphPane;
class DocumentRecord;
struct GraphPaneSettings;
struct GraphPicture;

// The document's stored views go into the pane's views when the pane is
// made, and come back from them before the document is written.
// What a new document and a file without view statements hold: every
// range and orientation at its default, axes and graph paper shown.
void SetDefaultViewSettings(GraphPaneSettings* settings);
std::unique_ptr<AGraphPane> MakeDocumentGraphPane(DocumentRecord* document, const MRect& rect, void* window);
void InstallPaneSettings(AGraphPane& pane, const GraphPaneSettings& settings);
// Writes only what the views hold. A 2-D view still showing what its
// stored settings gave it leaves them as they were, so values the view
// had to replace by defaults survive a save.
void StorePaneSettings(const AGraphPane& pane, GraphPaneSettings* settings);
// The pictures placed in the first or second 2-D view, as they are to be
// written: the view's own once a pane shows them (moved, pasted or dragged
// away since), else those read. The pictures stay with their owner.
std::vector<GraphPicture> PlacedPictures(const DocumentRecord& document, bool secondView);
