#include "renderer/SymbolTexture.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <list>
#include <string>
#include <unordered_map>

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/text/OurFontDesc.h"
#include "CoreUtilities/text/OurTextDrawing.h"
#include "CoreUtilities/text/OurTextMeasure.h"
#include "renderer/CountedMemory.h"
#include "renderer/DrawContext.h"
#include "renderer/RasterTarget.h"
#include "renderer/SoftwareRasteriser.h"
#include "renderer/Textures.h"

// A label's coverage, one byte a pixel, rows from the top.
struct SymbolLabel {
  int width = 0, height = 0;
  CountedArray<uint8_t> coverage;
  size_t Bytes() const { return size_t(width) * size_t(height); }
};

namespace {

constexpr const char* kLabelTypeFace = "Times";

// The text followed by the bits of the font size and the colour.
std::u16string KeyOf(const UniChar* text, double fontSize, uint32_t colour) {
  std::u16string key(reinterpret_cast<const char16_t*>(text));
  char16_t bits[(sizeof fontSize + sizeof colour) / sizeof(char16_t)];
  std::memcpy(bits, &fontSize, sizeof fontSize);
  std::memcpy(reinterpret_cast<char*>(bits) + sizeof fontSize, &colour, sizeof colour);
  key.push_back(0);
  key.append(bits, std::size(bits));
  return key;
}

uint32_t Luminance(uint32_t rgb) {
  return (77 * (rgb >> 16 & 0xFF) + 150 * (rgb >> 8 & 0xFF) + 29 * (rgb & 0xFF)) >> 8;
}

// The text set in the label face with its baseline at the font size,
// 1.5 font sizes high; false (message 36 queued) without memory.
bool SetLabel(const UniChar* text, double fontSize, uint32_t colour, SymbolLabel* label) {
  const OurFontDesc font(kLabelTypeFace, float(fontSize), false, false);
  label->width = std::max(int(std::ceil(OurStringWidth(text, font))), 1);
  label->height = std::max(int(1.5 * fontSize), 1);
  QImage image(label->width, label->height, QImage::Format_RGB32);
  if (!image.isNull()) label->coverage = NewCountedArray<uint8_t>(label->Bytes());
  if (label->coverage == nullptr) {
    QueueError(kOutOfMemoryError);
    return false;
  }
  // Text is set in its colour as the 2-D drawing sets it on an opaque
  // ground, black under light ink and white under dark, so that its weight
  // is the drawing's; the coverage is the share of the way to the ink.
  const uint32_t ground = Luminance(colour) >= 128 ? 0 : 0xFFFFFF;
  image.fill(0xFF000000u | ground);
  {
    QPainter painter(&image);
    painter.setPen(QColor::fromRgb(colour));
    painter.translate(0, int(fontSize));
    OurDrawString(text, font, &painter);
  }
  const int from = int(Luminance(ground)), span = int(Luminance(colour)) - from;
  for (int y = 0; y < label->height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
    for (int x = 0; x < label->width; ++x) {
      const int share = (int(Luminance(row[x] & 0xFFFFFF)) - from) * 255 / span;
      label->coverage[y * label->width + x] = uint8_t(std::clamp(share, 0, 255));
    }
  }
  return true;
}

uint32_t BlendOver(uint32_t over, uint32_t under, uint32_t coverage) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t a = (over >> shift) & 0xFF, b = (under >> shift) & 0xFF;
    out |= ((a * coverage + b * (255 - coverage) + 127) / 255) << shift;
  }
  return out;
}

// One sample of a label: over the frame where nearer, or a fragment of the
// covered share of the anchor's opacity. Mostly covered samples hide what
// is drawn behind them later; the fringe keeps only its blend.
bool WriteLabelSample(const RasterTarget& target, int x, int y, double z, uint32_t colour, float alpha,
                      uint32_t coverage) {
  const int32_t cell = target.Cell(x, y);
  MDrawContext* ctx = target.ctx;
  if (ctx->fragmentHeads) return InsertFragment(ctx, cell, z, ChannelByte(alpha * float(coverage)) << 24 | colour);
  if (!(z < ctx->depthBuffer[cell])) return true;
  uint32_t* pixel = target.Pixel(x, y);
  *pixel = BlendOver(ChannelByte(alpha * 255) << 24 | colour, *pixel, coverage);
  if (coverage >= 128) {
    ctx->depthBuffer[cell] = z;
    target.MarkWritten(cell, cell + 1);
  }
  return true;
}

bool DrawLabel(const SymbolLabel& label, const MVertex& anchor, uint32_t colour, MDrawContext* ctx) {
  const RasterTarget target(ctx);
  const int sx = int(target.scaleX), sy = int(target.scaleY);
  const int left = int(std::floor(anchor.x * target.scaleX + 0.5f)),
            top = int(std::floor(anchor.y * target.scaleY + 0.5f));
  for (int j = 0; j < label.height; ++j)
    for (int i = 0; i < label.width; ++i) {
      const uint32_t coverage = label.coverage[j * label.width + i];
      if (coverage == 0) continue;
      for (int dy = 0; dy < sy; ++dy)
        for (int dx = 0; dx < sx; ++dx) {
          const int x = left + i * sx + dx, y = top + j * sy + dy;
          if (target.InPane(x, y) && !WriteLabelSample(target, x, y, anchor.z, colour, anchor.alpha, coverage))
            return false;
        }
    }
  return true;
}

}  // namespace

struct SymbolCache {
  struct Entry {
    std::u16string key;
    SymbolLabel label;
  };
  std::list<Entry> recent;  // the most recently drawn first
  std::unordered_map<std::u16string, std::list<Entry>::iterator> byKey;
  size_t bytes = 0;

  // The label of the key, set when missing; null without memory.
  const SymbolLabel* Find(const UniChar* text, double fontSize, uint32_t colour) {
    std::u16string key = KeyOf(text, fontSize, colour);
    if (auto found = byKey.find(key); found != byKey.end()) {
      recent.splice(recent.begin(), recent, found->second);
      return &found->second->label;
    }
    SymbolLabel label;
    if (!SetLabel(text, fontSize, colour, &label)) return nullptr;
    bytes += label.Bytes();
    recent.push_front(Entry{std::move(key), std::move(label)});
    byKey.emplace(recent.front().key, recent.begin());
    while (bytes > kSymbolCacheBudget && recent.size() > 1) {
      Entry& last = recent.back();
      bytes -= last.label.Bytes();
      byKey.erase(last.key);
      recent.pop_back();
    }
    return &recent.front().label;
  }
};

void SymbolCacheDeleter::operator()(SymbolCache* cache) const { delete cache; }

size_t SymbolCacheCount(const MDrawContext* ctx) { return ctx->symbols ? ctx->symbols->recent.size() : 0; }
size_t SymbolCacheBytes(const MDrawContext* ctx) { return ctx->symbols ? ctx->symbols->bytes : 0; }

bool DrawSymbol(const MVertex* anchor, const UniChar* text, double size, MDrawContext* ctx) {
  if (ctx->symbols == nullptr) ctx->symbols.reset(new SymbolCache);
  const uint32_t colour = PackSample(0, anchor->red * 255, anchor->green * 255, anchor->blue * 255);
  const SymbolLabel* label = ctx->symbols->Find(text, LabelFontSize(size), colour);
  if (label == nullptr) return true;  // no memory for the label: nothing to show
  if (DrawLabel(*label, *anchor, colour, ctx)) return true;
  QueueError(kTransparencyMemoryError);
  return false;
}

bool DrawClippedSymbol(const MVertex* anchor, const UniChar* text, double size, MDrawContext* ctx) {
  const float w = float(ctx->pane.right - ctx->pane.left), h = float(ctx->pane.bottom - ctx->pane.top);
  if (!(anchor->x >= 0 && anchor->x <= w && anchor->y >= 0 && anchor->y <= h)) return true;
  return DrawSymbol(anchor, text, size, ctx);
}
