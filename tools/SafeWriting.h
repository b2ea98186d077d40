#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <string_view>

#include "CoreUtilities/files/SafeSave.h"

// The probes write their files as the application does, by a safe save: a
// failure leaves a file already at the path as it was.
inline bool SaveBytesSafely(const std::string& path, std::string_view bytes) { return SafeSave(path, bytes) == kNoErr; }

inline bool SaveImageSafely(const QImage& image, const std::string& path, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  return image.save(&buffer, format) &&
         SaveBytesSafely(path, std::string_view(bytes.constData(), size_t(bytes.size())));
}
