#include "window/WindowRegistry.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <algorithm>

#include "window/DocumentMainWindow.h"

namespace {

std::vector<DocumentMainWindow*>& Windows() {
  static std::vector<DocumentMainWindow*> windows;
  return windows;
}

}  // namespace

void RegisterWindow(DocumentMainWindow* window) { Windows().push_back(window); }

void UnregisterWindow(DocumentMainWindow* window) { std::erase(Windows(), window); }

const std::vector<DocumentMainWindow*>& AllWindows() { return Windows(); }

DocumentMainWindow* WindowOfDocument(const DocumentRecord* document) {
  if (!document) return nullptr;
  for (DocumentMainWindow* window : Windows())
    if (window->Document() == document) return window;
  return nullptr;
}

void WakeDocumentWindow(DocumentRecord* document) {
  QCoreApplication* application = QCoreApplication::instance();
  if (!application) return;
  QMetaObject::invokeMethod(
      application,
      [document] {
        if (DocumentMainWindow* window = WindowOfDocument(document)) window->WakeIdle();
      },
      Qt::QueuedConnection);
}

void RecomputeAllWindows() {
  for (DocumentMainWindow* window : Windows()) window->Recompute();
}

void CancelGraphThreadsAllWindows() {
  for (DocumentMainWindow* window : Windows()) window->RestartComputations();
}
