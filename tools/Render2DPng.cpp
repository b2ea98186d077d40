#include "tools/Render2DPng.h"

#include <string_view>

#include "app/Base64.h"
#include "app/TextureCoding.h"
#include "platform/OurPicture.h"
#include "tools/SafeWriting.h"

bool WritePng(const QImage& image, const char* path) {
  OurPicture picture;
  picture.frame = QRect(QPoint(0, 0), image.size());
  picture.image = image;
  const auto png = DecodeBase64(EncodeTexture(&picture));
  if (!png || png->empty()) return false;
  return SaveBytesSafely(path, std::string_view(reinterpret_cast<const char*>(png->data()), png->size()));
}
