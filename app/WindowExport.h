#pragma once

#include <QString>

class DocumentMainWindow;

enum class ExportFormat { kPng, kPdf };

// Writes the picture of the window's document as `zl --export` writes
// that of its saved file; false when the file cannot be written.
bool ExportWindow(DocumentMainWindow* window, const QString& path, ExportFormat format);
// How long the window's export waits for the graphs, in seconds: 60,
// after which it writes them as far as they got. A test comparing
// pictures sets a wait only a hang uses up. Returns the former.
double SetWindowExportTimeout(double seconds);
// Asks for the file first; a failure shows message 45.
void ExportWindowWithDialog(DocumentMainWindow* window, ExportFormat format);
