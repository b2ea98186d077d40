#pragma once

// `zl --export FILE.zlf --png|--pdf OUT [--size WxH] [--timeout S]`: reads
// the document, graphs it without a window and writes both panes' picture.
// Exit codes: 0 written, 1 bad arguments or a document or file that cannot
// be read or written, 2 the graphs did not finish within the timeout.
int RunHeadlessExport(int argc, char** argv);
