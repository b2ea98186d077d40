#include "CoreUtilities/memory/FixedAllocator.h"

#include "CoreUtilities/memory/ListGrowth.h"
#include "CoreUtilities/memory/MemoryBudget.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kChunkBytes = 4096;
constexpr size_t kBlockAlignment = 16;
constexpr size_t kMostBlocksPerChunk = 255;  // indices fit one byte
// Large enough that a block freed and asked for again soon skips its chunk,
// small enough that the cache's order cannot scatter a new tree.
constexpr int32_t kMostCachedBlocks = 64;
// Wholly free chunks are kept for the next tree up to about 4 MB; past that,
// once they are most of the pool, they go back to the heap, so that a new
// tree is not spread over what a much larger one left.
constexpr int32_t kMostEmptyChunksKept = 1024;

void* NextCached(void* block) {
  void* next;
  std::memcpy(&next, block, sizeof next);
  return next;
}

void SetNextCached(void* block, void* next) { std::memcpy(block, &next, sizeof next); }

}  // namespace

FixedAllocator::FixedAllocator(size_t blockSize) : fBlockSize(0), fNumBlocks(0) {
  if (blockSize == 0 || blockSize > kChunkBytes) return;
  const size_t rounded = (blockSize + kBlockAlignment - 1) / kBlockAlignment * kBlockAlignment;
  fBlockSize = static_cast<uint32_t>(rounded);
  fNumBlocks = static_cast<uint8_t>(std::min(kChunkBytes / rounded, kMostBlocksPerChunk));
}

FixedAllocator::~FixedAllocator() {
  FlushCache();
  for (int32_t i = 0; i < fChunkCount; ++i) OurDisposeMemory(fChunks[i].data);
  OurDisposeMemory(fChunks);
}

void* FixedAllocator::Allocate() {
  if (fCache) {
    void* block = fCache;
    fCache = NextCached(block);
    --fCacheCount;
    return block;
  }
  if (fAllocIndex < 0 || fChunks[fAllocIndex].blocksAvailable == 0) {
    fAllocIndex = LowestChunkWithFreeBlock();
    if (fAllocIndex < 0) fAllocIndex = InsertNewChunk();
    if (fAllocIndex < 0) return nullptr;
  }
  Chunk& chunk = fChunks[fAllocIndex];
  if (chunk.blocksAvailable == fNumBlocks) --fEmptyChunks;
  unsigned char* block = chunk.data + size_t{chunk.firstAvailableBlock} * fBlockSize;
  chunk.firstAvailableBlock = block[0];
  --chunk.blocksAvailable;
  return block;
}

void FixedAllocator::Deallocate(void* block) {
  if (!block) return;
  if (fCacheCount == kMostCachedBlocks) EmptyCache();
  SetNextCached(block, fCache);
  fCache = block;
  ++fCacheCount;
}

void FixedAllocator::FlushCache() {
  EmptyCache();
  ReleaseEmptyChunks();
  if (fChunkCount == 0) {
    ReleaseTable();
    return;
  }
  if (fChunkCapacity > fChunkCount) FitTableToCount();
}

FixedAllocator::Chunk* FixedAllocator::FirstChunkAbove(const unsigned char* address) const {
  return std::upper_bound(fChunks, fChunks + fChunkCount, address,
                          [](const unsigned char* a, const Chunk& chunk) { return a < chunk.data; });
}

// Index of the chunk whose blocks include this one, or -1.
int32_t FixedAllocator::ChunkHolding(const unsigned char* block) const {
  const Chunk* const after = FirstChunkAbove(block);
  if (after == fChunks) return -1;
  const Chunk& chunk = after[-1];
  if (block >= chunk.data + size_t{fNumBlocks} * fBlockSize) return -1;
  if (size_t(block - chunk.data) % fBlockSize != 0) return -1;
  return int32_t(after - 1 - fChunks);
}

int32_t FixedAllocator::LowestChunkWithFreeBlock() {
  while (fNoFreeBlockBelow < fChunkCount && fChunks[fNoFreeBlockBelow].blocksAvailable == 0) ++fNoFreeBlockBelow;
  return fNoFreeBlockBelow < fChunkCount ? fNoFreeBlockBelow : -1;
}

// The new chunk's index, or -1 when its memory or a larger table is refused.
int32_t FixedAllocator::InsertNewChunk() {
  if (fNumBlocks == 0) return -1;
  auto* data = static_cast<unsigned char*>(OurAllocateMemory(size_t{fNumBlocks} * fBlockSize, false));
  if (!data) return -1;
  if (fChunkCount == fChunkCapacity && !GrowTable()) {
    OurDisposeMemory(data);
    return -1;
  }
  // The free list starts in address order: block k links to block k + 1.
  for (size_t k = 0; k < fNumBlocks; ++k) data[k * fBlockSize] = static_cast<unsigned char>(k + 1);
  Chunk* const end = fChunks + fChunkCount;
  Chunk* const place = FirstChunkAbove(data);
  std::memmove(place + 1, place, size_t(end - place) * sizeof(Chunk));
  *place = Chunk{data, 0, fNumBlocks};
  ++fChunkCount;
  ++fEmptyChunks;
  const auto index = int32_t(place - fChunks);
  fNoFreeBlockBelow = std::min(fNoFreeBlockBelow, index);
  return index;
}

bool FixedAllocator::GrowTable() {
  const int32_t capacity = NextListCapacity(fChunkCapacity);
  if (capacity == 0) return false;
  auto* table = static_cast<Chunk*>(OurAllocateMemory(size_t(capacity) * sizeof(Chunk), false));
  if (!table) return false;
  if (fChunkCount > 0) std::memcpy(table, fChunks, size_t(fChunkCount) * sizeof(Chunk));
  OurDisposeMemory(fChunks);
  fChunks = table;
  fChunkCapacity = capacity;
  return true;
}

void FixedAllocator::EmptyCache() {
  for (void* cached = fCache; cached;) {
    auto* block = static_cast<unsigned char*>(cached);
    cached = NextCached(cached);
    // A block that no chunk holds was never ours; it is dropped.
    const int32_t index = ChunkHolding(block);
    if (index >= 0) GiveBack(index, block);
  }
  fCache = nullptr;
  fCacheCount = 0;
  if (fEmptyChunks > kMostEmptyChunksKept && fEmptyChunks * 2 > fChunkCount) ReleaseEmptyChunks();
}

void FixedAllocator::GiveBack(int32_t index, unsigned char* block) {
  Chunk& chunk = fChunks[index];
  block[0] = chunk.firstAvailableBlock;
  chunk.firstAvailableBlock = static_cast<uint8_t>(size_t(block - chunk.data) / fBlockSize);
  if (++chunk.blocksAvailable == fNumBlocks) ++fEmptyChunks;
  fNoFreeBlockBelow = std::min(fNoFreeBlockBelow, index);
}

// Keeps the others in address order.
void FixedAllocator::ReleaseEmptyChunks() {
  int32_t kept = 0;
  for (int32_t i = 0; i < fChunkCount; ++i) {
    if (fChunks[i].blocksAvailable == fNumBlocks)
      OurDisposeMemory(fChunks[i].data);
    else
      fChunks[kept++] = fChunks[i];
  }
  fChunkCount = kept;
  fEmptyChunks = 0;
  fAllocIndex = -1;
  fNoFreeBlockBelow = 0;
}

void FixedAllocator::ReleaseTable() {
  OurDisposeMemory(fChunks);
  fChunks = nullptr;
  fChunkCount = fChunkCapacity = 0;
}

// Keeps the old table when the smaller one is refused.
void FixedAllocator::FitTableToCount() {
  auto* table = static_cast<Chunk*>(OurAllocateMemory(size_t(fChunkCount) * sizeof(Chunk), false));
  if (!table) return;
  std::memcpy(table, fChunks, size_t(fChunkCount) * sizeof(Chunk));
  OurDisposeMemory(fChunks);
  fChunks = table;
  fChunkCapacity = fChunkCount;
}
