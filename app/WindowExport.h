#pragma once

#include <QString>

class DocumentMainWindow;

enum class ExportFormat { kPng, kPdf };

// Writes the window's two panes as the format; false when the file cannot
// be written.
bool ExportWindow(DocumentMainWindow* window, const QString& path, ExportFormat format);
// Asks for the file first; a failure shows message 45.
void ExportWindowWithDialog(DocumentMainWindow* window, ExportFormat format);
