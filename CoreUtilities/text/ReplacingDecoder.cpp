#include "CoreUtilities/text/ReplacingDecoder.h"

#include <QString>

std::u16string DecodeUTF8Replacing(const char* bytes, size_t length) {
  if (bytes == nullptr || length == 0) return {};
  return QString::fromUtf8(bytes, static_cast<qsizetype>(length)).toStdU16String();
}
