#pragma once

#include <QString>

struct NewDocumentSettings;
class DocumentMainWindow;
class QWidget;

// What new untitled documents start with; start-up sets it.
void SetNewDocumentSettings(const NewDocumentSettings& settings);

// Each window gets the menus when it is made and is shown.
DocumentMainWindow* NewDocumentWindow();
// The file's document in a new window; null, after the alert (41 no
// document, 42 unreadable), when it cannot be read.
DocumentMainWindow* OpenDocumentWindow(const QString& path);
// Asks for a file and opens it.
void OpenWithDialog(QWidget* parent);

// False when the document was not saved (cancelled, or failed after the
// alert). Save asks for a name when the document has none.
bool SaveWindow(DocumentMainWindow* window);
bool SaveWindowAs(DocumentMainWindow* window);

// Closes every window, each asking about its changes; false (and the
// remaining windows open) when one stays open.
bool CloseAllWindows();
