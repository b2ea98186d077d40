#include "expression/ExportBuffer.h"

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/text/OurString.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr int32_t kFirstExportBytes = 1024;
constexpr int32_t kExportStackSize = 2;

struct ExportBuffer {
  char* bytes;
  int32_t capacity;
  int32_t length;
  bool failed;  // a byte was dropped: the text must not be used
};

ExportBuffer gExprBufferStack[kExportStackSize];
int32_t gExprStackDepth = -1;

bool Grow(ExportBuffer& buffer) {
  if (buffer.capacity > INT32_MAX / 2) return false;
  char* grown = new (std::nothrow) char[size_t(buffer.capacity) * 2];
  if (!grown) return false;
  std::memcpy(grown, buffer.bytes, size_t(buffer.length));
  delete[] buffer.bytes;
  buffer.bytes = grown;
  buffer.capacity *= 2;
  return true;
}

}  // namespace

bool BeginExportTextFormat() {
  MATH_MemCheckInRecursion();
  if (gExprStackDepth + 1 >= kExportStackSize) return false;
  char* bytes = new (std::nothrow) char[kFirstExportBytes];
  if (!bytes) return false;
  gExprBufferStack[++gExprStackDepth] = ExportBuffer{bytes, kFirstExportBytes, 0, false};
  return true;
}

char* EndExportTextFormat() {
  if (gExprStackDepth < 0) return nullptr;
  ExportBuffer& buffer = gExprBufferStack[gExprStackDepth--];
  if (!buffer.failed) return buffer.bytes;
  delete[] buffer.bytes;
  QueueError(kOutOfMemoryError);
  return nullptr;
}

void PrintChr(char c) {
  if (gExprStackDepth < 0) return;
  ExportBuffer& buffer = gExprBufferStack[gExprStackDepth];
  if (buffer.failed) return;
  if (buffer.length == buffer.capacity && !Grow(buffer)) {
    buffer.failed = true;
    return;
  }
  buffer.bytes[buffer.length++] = c;
}

void PrintStr(const char* bytes) {
  for (; bytes && *bytes; ++bytes) PrintChr(*bytes);
}

void PrintStr(const UniChar* text) {
  if (!text) return;
  const size_t size = OurStringSizeForEncoding(text, kEncodingUTF8);
  std::unique_ptr<char[]> utf8(new (std::nothrow) char[size ? size : 1]);
  if (utf8) OurStringToCString(text, utf8.get(), size, kEncodingUTF8);
  // Text that has no UTF-8 form (a lone surrogate) fails the export.
  if (!utf8 || (text[0] != 0 && utf8[0] == 0)) {
    if (gExprStackDepth >= 0) gExprBufferStack[gExprStackDepth].failed = true;
    return;
  }
  PrintStr(utf8.get());
}
