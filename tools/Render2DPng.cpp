#include "tools/Render2DPng.h"

#include <fstream>

#include "app/Base64.h"
#include "app/TextureCoding.h"
#include "platform/OurPicture.h"

bool WritePng(const QImage& image, const char* path) {
  OurPicture picture;
  picture.frame = QRect(QPoint(0, 0), image.size());
  picture.image = image;
  const auto png = DecodeBase64(EncodeTexture(&picture));
  if (!png || png->empty()) return false;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(png->data()), static_cast<std::streamsize>(png->size()));
  return static_cast<bool>(out);
}
