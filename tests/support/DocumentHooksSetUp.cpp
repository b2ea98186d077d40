// Linked into test programs that use a real document: makes the document's
// start-up call before main.
#include "document/DocumentHooks.h"

namespace {

const bool gInstalled = (InstallDocumentHooks(), true);

}  // namespace
