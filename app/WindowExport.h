#pragma once

#include <QString>

#include <cstdint>
#include <string>

#include "CoreUtilities/files/FileErrors.h"

class DocumentMainWindow;

enum class ExportFormat { kPng, kPdf };

// Writes the picture of the window's document as `zl --export` writes
// that of its saved file: 0, or the message id that says why the file
// could not be written (a file already there is then left as it was), and
// when asked for, the file layer's error in *error and in *reason why, as
// a sentence, where the message does not say it (the time ran out, say).
int32_t ExportWindow(DocumentMainWindow* window, const QString& path, ExportFormat format, OSErr* error = nullptr,
                     std::string* reason = nullptr);
// How long the window's export waits for the graphs, in seconds: 60,
// after which it writes them as far as they got. A test comparing
// pictures sets a wait only a hang uses up. Returns the former.
double SetWindowExportTimeout(double seconds);
// Asks for the file first; a failure shows its message.
void ExportWindowWithDialog(DocumentMainWindow* window, ExportFormat format);
