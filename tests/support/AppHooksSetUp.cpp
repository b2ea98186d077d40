// Linked into test programs that read or write documents with pictures:
// makes the document's and the application's start-up calls before main.
#include "app/AppHooks.h"
#include "document/DocumentHooks.h"

namespace {

const bool gInstalled = (InstallDocumentHooks(), InstallAppHooks(), true);

}  // namespace
