#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "CoreUtilities/files/FileErrors.h"

class DocumentRecord;

// A document read from a file, or the message id that says why not: 41
// for a file that holds no document, 42 for one that cannot be read; and
// how many of its settings held numbers no view can use, left unread.
struct OpenedDocument {
  std::unique_ptr<DocumentRecord> document;
  int32_t message = 0;
  int32_t refusedSettings = 0;
};
OpenedDocument OpenDocumentFile(const std::string& path);

// "1 setting holds numbers no view can use (...)", for so many settings
// left unread.
std::string RefusedSettingsText(int32_t count);

// The message id for a file that could not be written: 43 the disk is
// full, 44 the disk or folder is locked, 45 any other failure.
int32_t SaveFailureMessage(OSErr error);
// What the alert adds to that message: why, as a sentence, where the
// message does not say it already (45); empty otherwise.
std::string SaveFailureReason(OSErr error);
// The text as a sentence: a capital first, a full stop after; empty stays
// empty.
std::string AsSentence(std::string text);

// Writes the document to path by a safe save; 0, and the document no
// longer marked changed, on success; otherwise the message id, as
// SaveFailureMessage gives it, with the file and the mark as they were,
// and the file layer's error in *error when asked for.
int32_t SaveDocumentFile(DocumentRecord& document, const std::string& path, OSErr* error = nullptr);

// The path with ".zlf" added unless it ends so already.
std::string WithDocumentExtension(const std::string& path);
