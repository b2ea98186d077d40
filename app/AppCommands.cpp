#include "app/AppCommands.h"

#include "app/AppMenus.h"
#include "app/AppSettings.h"
#include "app/DocumentFiles.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"
#include "document/MathPaneEditing.h"
#include "window/DocumentMainWindow.h"
#include "window/MathPaneWidget.h"
#include "window/WindowDialogs.h"
#include "window/WindowRegistry.h"

namespace {

constexpr int kOutOfMemory = 36;

NewDocumentSettings& NewSettings() {
  static NewDocumentSettings settings;
  return settings;
}

DocumentMainWindow* ShowWindow(std::unique_ptr<DocumentRecord> document, const QString& path) {
  auto* window = new DocumentMainWindow(std::move(document), path);
  InstallMenus(window);
  window->show();
  return window;
}

// Saves the window's document at path; false, the alert shown, when it
// could not.
bool SaveWindowAt(DocumentMainWindow* window, const QString& path) {
  window->StoreLayoutInDocument();
  OSErr error = kNoErr;
  const int32_t message = SaveDocumentFile(*window->Document(), path.toStdString(), &error);
  window->UpdateModifiedMark();
  if (message != 0) ReportError(message, QString::fromStdString(SaveFailureReason(error)));
  return message == 0;
}

}  // namespace

void SetNewDocumentSettings(const NewDocumentSettings& settings) { NewSettings() = settings; }

DocumentMainWindow* NewDocumentWindow() {
  const std::string text = NewDocumentText(NewSettings());
  auto document = ReadDocumentText(text.data(), static_cast<int32_t>(text.size()));
  if (!document) {
    ReportError(kOutOfMemory);
    return nullptr;
  }
  document->fModified = false;
  DocumentMainWindow* window = ShowWindow(std::move(document), QString());
  // The empty formula takes the first keys.
  FocusMathPaneBlock(window->WindowRecord(), 0);
  window->MathPane()->RedrawMath();
  return window;
}

DocumentMainWindow* OpenDocumentWindow(const QString& path) {
  OpenedDocument opened = OpenDocumentFile(path.toStdString());
  if (!opened.document) {
    ReportError(opened.message);
    return nullptr;
  }
  DocumentMainWindow* window = ShowWindow(std::move(opened.document), path);
  if (opened.refusedSettings > 0)
    ShowNote(QObject::tr("%1: %2; the views show their defaults in their place.")
                 .arg(window->DocumentName(), QString::fromStdString(RefusedSettingsText(opened.refusedSettings))));
  return window;
}

void OpenWithDialog(QWidget* parent) {
  const QString path = AskFileName(parent, false, QString());
  if (!path.isEmpty()) OpenDocumentWindow(path);
}

bool SaveWindow(DocumentMainWindow* window) {
  if (window->FilePath().isEmpty()) return SaveWindowAs(window);
  return SaveWindowAt(window, window->FilePath());
}

bool SaveWindowAs(DocumentMainWindow* window) {
  const QString suggestion = window->FilePath().isEmpty() ? window->DocumentName() + ".zlf" : window->FilePath();
  const QString chosen = AskFileName(window, true, suggestion);
  if (chosen.isEmpty()) return false;
  const QString path = QString::fromStdString(WithDocumentExtension(chosen.toStdString()));
  if (!SaveWindowAt(window, path)) return false;
  window->SetFilePath(path);
  return true;
}

bool CloseAllWindows() {
  // Closing changes the list; each window is asked in turn, the newest first.
  const std::vector<DocumentMainWindow*> windows(AllWindows().rbegin(), AllWindows().rend());
  for (DocumentMainWindow* window : windows)
    if (!window->close()) return false;
  return true;
}
