#pragma once

#include <QSize>

#include "CoreUtilities/files/FileErrors.h"

#include <string>

// `zl --export FILE.zlf --png|--pdf OUT [--size WxH] [--timeout S]`: reads
// the document, graphs it without a window and writes both panes' picture.
// Exit codes: 0 written, 1 bad arguments or a document or file that cannot
// be read or written (standard error says why), 2 the graphs or the math
// pane were not done and drawn within the timeout (the picture written
// unfinished, or none when its encoding could not finish; standard error
// says which).
int RunHeadlessExport(int argc, char** argv);

// What an export tells besides its status and error.
struct ExportDetails {
  OSErr fileError = kNoErr;         // why the file could not be written
  bool graphsUnfinished = false;    // the graphs were not done and drawn in time
  bool mathPaneUnfinished = false;  // its formulas, text or tables were not all laid out and drawn in time
};

// The export itself, for a document text, on the interface thread of a
// running application too: graphs a copy of the document without a window
// and writes its picture at the size (empty: the document's window size).
// The picture is at most 8192 a side and 40 million pixels (a larger size
// is scaled down, with a warning on standard error); every phase stops at
// the timeout, the encoding within a second after it, all read on the
// deadline clock (ComputationDeadline.h). Returns 0, or 1 with
// the reason in *error, or 2 when the graphs or the math pane were not done
// and drawn in time (the picture is written unfinished, *details says
// which; or, the reason in *error, not at all when the encoding could not
// finish). The file is written by a safe save: one that fails leaves what
// was at output as it was, and details->fileError says why.
int ExportDocumentPicture(const std::string& text, const std::string& output, bool pdf, QSize size,
                          double timeoutSeconds, std::string* error, ExportDetails* details = nullptr);
