#include "renderer/FragmentStore.h"

#include <algorithm>
#include <utility>

#include "renderer/CountedMemory.h"
#include "renderer/DrawContext.h"

namespace {

Fragment& At(const MDrawContext* ctx, uint32_t index) { return ctx->fragmentChunks[index >> 16][index & 0xFFFF]; }

// One chunk more; false, with the chunks unchanged, when refused.
bool AddChunk(MDrawContext* ctx) {
  CountedArray<Fragment> records = NewCountedArray<Fragment>(kFragmentsPerChunk);
  if (records == nullptr) return false;
  ctx->fragmentChunks.push_back(std::move(records));
  return true;
}

uint32_t Mix(uint32_t fragment, uint32_t below, uint32_t a) { return (a * fragment + (255 - a) * below) / 255; }

}  // namespace

bool InsertFragment(MDrawContext* ctx, int32_t cell, double depth, uint32_t argb) {
  const int32_t index = ctx->fragmentCount + 1;
  if ((index & 0xFFFF) == 0 && !AddChunk(ctx)) return false;
  ctx->fragmentCount = index;
  ctx->firstCellWritten = std::min(ctx->firstCellWritten, cell);
  ctx->endCellWritten = std::max(ctx->endCellWritten, cell + 1);
  Fragment& record = At(ctx, uint32_t(index));
  record.depth = depth;
  record.alpha = uint8_t(argb >> 24);
  record.red = uint8_t(argb >> 16);
  record.green = uint8_t(argb >> 8);
  record.blue = uint8_t(argb);
  uint32_t* link = &ctx->fragmentHeads[cell];
  while (!(*link & 0x80000000u) && At(ctx, *link).depth > depth) link = &At(ctx, *link).next;
  record.next = *link;
  *link = uint32_t(index);
  return true;
}

void CompositeFragments(const MDrawContext* ctx, uint8_t* base, long rowBytes, const MRect& target, MPoint headOffset) {
  if (ctx->endCellWritten <= ctx->firstCellWritten) return;
  // Rows of cells outside those written have no lists.
  const int top = std::max(int(target.top), ctx->firstCellWritten / ctx->bufferCols + headOffset.v);
  const int bottom = std::min(int(target.bottom), (ctx->endCellWritten - 1) / ctx->bufferCols + 1 + headOffset.v);
  for (int row = top; row < bottom; ++row) {
    auto* pixels = reinterpret_cast<uint32_t*>(base + rowBytes * row);
    const uint32_t* heads = ctx->fragmentHeads.get() + (row - headOffset.v) * ctx->bufferCols - headOffset.h;
    for (int column = target.left; column < target.right; ++column) {
      uint32_t index = heads[column];
      if (index & 0x80000000u) continue;
      uint32_t p = pixels[column];
      uint32_t pa = p >> 24, pr = (p >> 16) & 0xFF, pg = (p >> 8) & 0xFF, pb = p & 0xFF;
      for (; !(index & 0x80000000u); index = At(ctx, index).next) {
        const Fragment& f = At(ctx, index);
        pr = Mix(f.red, pr, f.alpha);
        pg = Mix(f.green, pg, f.alpha);
        pb = Mix(f.blue, pb, f.alpha);
        pa = 255 - ((255 - f.alpha) * (255 - pa)) / 255;
      }
      pixels[column] = pa << 24 | pr << 16 | pg << 8 | pb;
    }
  }
}
