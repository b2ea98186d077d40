#include "renderer/GLTextures.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <QImage>
#include <QPainter>

#include "platform/OurPicture.h"

namespace {

constexpr int kPatternSide = 16;

GLuint Upload(const QImage& image, GLint wrap, GLint filter) {
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, GLint(image.bytesPerLine() / 4));
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width(), image.height(), 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
               image.constBits());
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  return name;
}

}  // namespace

int32_t GLTextureSide(int32_t extent) {
  if (extent <= 4) return 4;
  for (int32_t side = 8; side <= 256; side *= 2)
    if (side >= extent) return side;
  return 512;
}

// The picture's first row is the texture's first row, as the texture
// coordinates the graphs give expect.
uint32_t GLCreateTexture(const OurPicture& picture) {
  const QRect frame = picture.image.isNull() ? picture.frame : picture.image.rect();
  QImage image(GLTextureSide(frame.width()), GLTextureSide(frame.height()), QImage::Format_ARGB32);
  if (image.isNull()) return 0;
  image.fill(0xFFFFFFFFu);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!picture.image.isNull()) {
      painter.drawImage(image.rect(), picture.image);
    } else if (!frame.isEmpty()) {
      painter.scale(double(image.width()) / frame.width(), double(image.height()) / frame.height());
      painter.drawPicture(-frame.topLeft(), picture.recording);
    }
  }
  return Upload(image, GL_CLAMP, GL_LINEAR);
}

uint32_t CreateOpenGLTextureFromPattern(const QImage* pattern) {
  if (pattern == nullptr) return 0;
  QImage image(kPatternSide, kPatternSide, QImage::Format_ARGB32);
  if (image.isNull()) return 0;
  {
    QPainter painter(&image);
    painter.fillRect(image.rect(), QBrush(*pattern));
  }
  return Upload(image, GL_REPEAT, GL_NEAREST);
}
