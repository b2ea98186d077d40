#include "CoreUtilities/files/ErrorReport.h"

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/text/MessageTable.h"
#include "CoreUtilities/text/OurString.h"

#include <atomic>
#include <cstdio>
#include <vector>

namespace {

void WriteAlertToStandardError(int, const UniChar* text) {
  std::vector<char> bytes(OurStringSizeForEncoding(text, kEncodingUTF8));
  OurStringToCString(text, bytes.data(), bytes.size(), kEncodingUTF8);
  // Paragraphs of alert texts are separated by carriage returns.
  for (char& c : bytes)
    if (c == '\r') c = '\n';
  std::fprintf(stderr, "%s\n", bytes.data());
}

bool AlwaysFrontmost() { return true; }

std::atomic<ErrorAlertHook> gAlertHook{WriteAlertToStandardError};
std::atomic<FrontmostProcessQuery> gFrontmostQuery{AlwaysFrontmost};

}  // namespace

void SetErrorAlertHook(ErrorAlertHook hook) { gAlertHook.store(hook ? hook : WriteAlertToStandardError); }

void SetFrontmostProcessQuery(FrontmostProcessQuery query) { gFrontmostQuery.store(query ? query : AlwaysFrontmost); }

bool CurrentProcessIsFrontmost() { return gFrontmostQuery.load()(); }

void ReportDeferredErrorNow() {
  if (!IsDeferredErrorWaiting() || !CurrentProcessIsFrontmost()) return;
  // Taken before it is shown: a timer firing inside the alert finds
  // nothing pending and cannot show it a second time.
  const int messageId = TakeDeferredError();
  if (messageId == 0) return;
  gAlertHook.load()(messageId, OurGetLocalizedString(messageId));
}
