#pragma once

#include <algorithm>
#include <cstdint>

#include "CoreUtilities/drawing/OurGWorld.h"
#include "renderer/DrawContext.h"
#include "renderer/FragmentStore.h"

// Where the samples of one primitive go: the frame or the supersampled
// picture, and the depth cells or fragment lists, in sample coordinates
// whose origin is the pane's top-left corner.
struct RasterTarget {
  explicit RasterTarget(MDrawContext* context) : ctx(context) {
    if (ctx->supersampledWorld) {
      base = GetBaseAddress(ctx->supersampledWorld.get());
      rowBytes = GetRowBytes(ctx->supersampledWorld.get());
      pixelTop = cellTop = ctx->supersampleRect.top;
      pixelLeft = cellLeft = ctx->supersampleRect.left;
      scaleX = float(ctx->supersampleX);
      scaleY = float(ctx->supersampleY);
    } else {
      base = ctx->frameBase;
      rowBytes = ctx->frameRowBytes;
      pixelTop = ctx->pane.top;
      pixelLeft = ctx->pane.left;
    }
    width = int(scaleX) * (ctx->pane.right - ctx->pane.left);
    height = int(scaleY) * (ctx->pane.bottom - ctx->pane.top);
  }

  int32_t Cell(int x, int y) const { return (y + cellTop) * ctx->bufferCols + x + cellLeft; }

  // True unless a fragment could not be had.
  bool Write(int x, int y, double z, uint32_t argb) const {
    const int32_t cell = Cell(x, y);
    if (ctx->fragmentHeads) return InsertFragment(ctx, cell, z, argb);
    if (z < ctx->depthBuffer[cell]) {
      MarkWritten(cell, cell + 1);
      ctx->depthBuffer[cell] = z;
      *Pixel(x, y) = argb;
    }
    return true;
  }

  // Cells first up to end - 1 are to be written.
  void MarkWritten(int32_t first, int32_t end) const {
    ctx->firstCellWritten = std::min(ctx->firstCellWritten, first);
    ctx->endCellWritten = std::max(ctx->endCellWritten, end);
  }

  // Depth test alone, for samples that may turn out clear.
  bool Nearer(int x, int y, double z) const { return ctx->fragmentHeads || z < ctx->depthBuffer[Cell(x, y)]; }

  // Inside the buffers, margins included.
  bool InBuffer(int x, int y) const {
    return x + cellLeft >= 0 && x + cellLeft < ctx->bufferCols && y + cellTop >= 0 && y + cellTop < ctx->bufferRows;
  }
  bool InPane(int x, int y) const { return x >= 0 && x < width && y >= 0 && y < height; }

  uint32_t* Pixel(int x, int y) const {
    return reinterpret_cast<uint32_t*>(base + rowBytes * (y + pixelTop)) + x + pixelLeft;
  }

  MDrawContext* ctx;
  uint8_t* base = nullptr;
  long rowBytes = 0;
  int pixelTop = 0, pixelLeft = 0, cellTop = 0, cellLeft = 0;
  float scaleX = 1, scaleY = 1;
  int width = 0, height = 0;
};

// A channel value 0 to 255 as a byte: NaN and below 0 give 0.
inline uint32_t ChannelByte(float value) {
  if (!(value > 0)) return 0;
  return value >= 255 ? 255 : uint32_t(value);
}

inline uint32_t PackSample(float a, float r, float g, float b) {
  return ChannelByte(a) << 24 | ChannelByte(r) << 16 | ChannelByte(g) << 8 | ChannelByte(b);
}
