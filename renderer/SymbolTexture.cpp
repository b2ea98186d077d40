#include "renderer/SymbolTexture.h"

#include <algorithm>
#include <string>

#include "CoreUtilities/ErrorQueue.h"
#include "CoreUtilities/OurText/OurFontDesc.h"
#include "CoreUtilities/OurText/OurTextMeasure.h"
#include "renderer/DrawContext.h"
#include "renderer/RendererHooks.h"
#include "renderer/SoftwareRasteriser.h"
#include "renderer/Textures.h"

namespace {

// The last label drawn, compared by its text (not its address, which a
// freed and reused string may share).
struct SymbolCache {
  std::u16string text;
  double size = -1;
  uint32_t color = 0;
  int32_t backgroundType = -1;
  uint32_t backgroundColor = 0;
  __OurTexture* texture = nullptr;
  float width = 0, height = 0;
};

SymbolCache gSymbol;

uint32_t Channel(float value) { return uint32_t(std::clamp(value, 0.0f, 1.0f) * 255); }

}  // namespace

void ReleaseSymbolTexture() {
  DisposeTexture(gSymbol.texture, kRendererSoftware, 0, nullptr);
  gSymbol = {};
}

bool DrawSymbol(const MVertex* anchor, const UniChar* text, double size, MDrawContext* ctx) {
  const uint32_t color = Channel(anchor->red) << 16 | Channel(anchor->green) << 8 | Channel(anchor->blue);
  const int32_t backgroundType = RenderHooks::BackgroundType(ctx->document);
  const uint32_t backgroundColor = RenderHooks::BackgroundColor(ctx->document);
  if (gSymbol.text != text || gSymbol.size != size || gSymbol.color != color ||
      gSymbol.backgroundType != backgroundType || gSymbol.backgroundColor != backgroundColor) {
    ReleaseSymbolTexture();
    const double fontSize = LabelFontSize(size);
    gSymbol.texture = CreateTexture(text, size, color, ctx);
    gSymbol.text = text;
    gSymbol.size = size;
    gSymbol.color = color;
    gSymbol.backgroundType = backgroundType;
    gSymbol.backgroundColor = backgroundColor;
    gSymbol.height = float(1.5 * fontSize);
    gSymbol.width = OurStringWidth(text, OurFontDesc("Times", float(fontSize), false, false));
  }
  if (gSymbol.texture == nullptr) return true;  // no memory for the label: nothing to show
  MVertex corners[4];
  const float offsets[4][4] = {
      {0, 0, 0, 1}, {gSymbol.width, 0, 1, 1}, {gSymbol.width, gSymbol.height, 1, 0}, {0, gSymbol.height, 0, 0}};
  for (int k = 0; k < 4; ++k) {
    corners[k] = *anchor;
    corners[k].x += offsets[k][0];
    corners[k].y += offsets[k][1];
    corners[k].s = offsets[k][2];
    corners[k].t = offsets[k][3];
  }
  if (DrawClippedTexturedTriangle(gSymbol.texture, &corners[0], &corners[1], &corners[2], ctx) &&
      DrawClippedTexturedTriangle(gSymbol.texture, &corners[2], &corners[3], &corners[0], ctx))
    return true;
  QueueError(kTransparencyMemoryError);
  return false;
}

bool DrawClippedSymbol(const MVertex* anchor, const UniChar* text, double size, MDrawContext* ctx) {
  const float w = float(ctx->pane.right - ctx->pane.left), h = float(ctx->pane.bottom - ctx->pane.top);
  if (!(anchor->x >= 0 && anchor->x <= w && anchor->y >= 0 && anchor->y <= h)) return true;
  return DrawSymbol(anchor, text, size, ctx);
}
