#pragma once

#include <QSize>

#include <string>

// `zl --export FILE.zlf --png|--pdf OUT [--size WxH] [--timeout S]`: reads
// the document, graphs it without a window and writes both panes' picture.
// Exit codes: 0 written, 1 bad arguments or a document or file that cannot
// be read or written, 2 the graphs did not finish within the timeout.
int RunHeadlessExport(int argc, char** argv);

// The export itself, for a document text, on the interface thread of a
// running application too: graphs a copy of the document without a window
// and writes its picture at the size (empty: the document's window size).
// Returns 0, or 1 with the reason in *error, or 2 when the graphs were not
// done in time (the picture is written unfinished).
int ExportDocumentPicture(const std::string& text, const std::string& output, bool pdf, QSize size,
                          double timeoutSeconds, std::string* error);
