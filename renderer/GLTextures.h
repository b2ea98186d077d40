#pragma once

#include <cstdint>

class QImage;
struct OurPicture;

// OpenGL textures in the current context; the handle is the texture name.
uint32_t GLCreateTexture(const OurPicture& picture);
// A 16 x 16 repeating texture of a colour pattern; 0 when none was made.
uint32_t CreateOpenGLTextureFromPattern(const QImage* pattern);
// The side a picture's extent is drawn at: 4, a power of two up to 512.
int32_t GLTextureSide(int32_t extent);
