#pragma once

#include <cstdint>

#include "renderer/DrawContext.h"

struct OurPicture;

// A texture of the picture for the renderer in force; null for no picture,
// renderer 0, or refused memory (message 36).
OurTexture* CreateTexture(const OurPicture* picture, MDrawContext* ctx);
// The software form: the picture stretched over 512 x 512 with its whole
// mip pyramid.
OurTexture* SWCreateTexture(const OurPicture* picture);

bool IsTextureValid(const OurTexture* texture, const MDrawContext* ctx);
// contextSerialMadeWith: OurGLContextSerial of the context the texture was
// made in; 0 for a software texture.
void DisposeTexture(OurTexture* texture, Our3DRendererType madeWith, uint64_t contextSerialMadeWith, MDrawContext* ctx);

// The font size of a label: sizes that are not finite, not above 0 or 100
// or more become 9.
double LabelFontSize(double size);
