// Any bytes are read, graphed and drawn as the export does, into a small
// picture within a short timeout: no crash, leak, undefined behaviour or
// hang on the graphing path, and the export answers with one of its codes.
#include "CoreUtilities/threads/ComputeThreads.h"
#include "CoreUtilities/files/ErrorQueue.h"
#include "algebra/AlgebraStartup.h"
#include "app/AppHooks.h"
#include "app/HeadlessExport.h"
#include "document/DocumentHooks.h"
#include "document/DocumentWindow.h"
#include "matheditor/MathEditorStartup.h"
#include "platform/GuiApplication.h"

#include <QSize>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

constexpr double kTimeoutSeconds = 0.2;
const QSize kPictureSize(160, 120);

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  EnsureGuiApplication();
  InitializeZLThreads();
  // libFuzzer ends with exit(): the threads are joined before their objects go.
  std::atexit(ShutdownZLThreads);
  InstallDocumentHooks();
  InstallAppHooks();
  InstallAlgebra();
  InstallMathEditor();
  InstallDocumentMathEditGlobals();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > INT32_MAX) return -1;
  std::string error;
  const int status = ExportDocumentPicture(std::string(reinterpret_cast<const char*>(data), size), "/dev/null", false,
                                           kPictureSize, kTimeoutSeconds, &error);
  if (status < 0 || status > 2) std::abort();
  ResetDeferredErrors();
  return 0;
}
