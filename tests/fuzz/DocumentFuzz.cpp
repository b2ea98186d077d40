// Any bytes are read into a fresh document or refused, without a crash,
// a leak or undefined behaviour.
#include "CoreUtilities/files/ErrorQueue.h"
#include "app/AppHooks.h"
#include "document/DocumentHooks.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  InstallDocumentHooks();
  InstallAppHooks();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > INT32_MAX) return -1;
  ReadDocumentText(reinterpret_cast<const char*>(data), static_cast<int32_t>(size));
  ResetDeferredErrors();
  return 0;
}
