#pragma once

#include <vector>

class DocumentMainWindow;
class DocumentRecord;

// The open document windows, in the order they were opened. Interface
// thread only.
void RegisterWindow(DocumentMainWindow* window);
void UnregisterWindow(DocumentMainWindow* window);
const std::vector<DocumentMainWindow*>& AllWindows();
// The window showing the document; null once it is closed.
DocumentMainWindow* WindowOfDocument(const DocumentRecord* document);

// Any thread: asks the document's window to run its idle soon. The window
// is looked up when the call arrives, so a wake-up for a window closed
// meanwhile is dropped.
void WakeDocumentWindow(DocumentRecord* document);

// Every window redraws its math and recomputes its graphs.
void RecomputeAllWindows();
// Every window stops its expansion and graph computations and starts them
// again.
void CancelGraphThreadsAllWindows();
