#include "CoreUtilities/FixedAllocator.h"

#include "CoreUtilities/ListGrowth.h"
#include "CoreUtilities/MemoryBudget.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kChunkBytes = 4096;
constexpr size_t kBlockAlignment = 16;
constexpr size_t kMostBlocksPerChunk = 255;  // indices fit one byte

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
    return block;
  }
  if (!fAllocChunk || fAllocChunk->blocksAvailable == 0) {
    fAllocChunk = FindChunkWithFreeBlock();
    if (!fAllocChunk) fAllocChunk = AppendNewChunk();
    if (!fAllocChunk) return nullptr;
  }
  Chunk& chunk = *fAllocChunk;
  unsigned char* block = chunk.data + size_t{chunk.firstAvailableBlock} * fBlockSize;
  chunk.firstAvailableBlock = block[0];
  --chunk.blocksAvailable;
  return block;
}

void FixedAllocator::Deallocate(void* block) {
  if (!block) return;
  SetNextCached(block, fCache);
  fCache = block;
}

void FixedAllocator::FlushCache() {
  for (void* cached = fCache; cached;) {
    auto* block = static_cast<unsigned char*>(cached);
    cached = NextCached(cached);
    // A block that no chunk holds was never ours; it is dropped.
    if (Chunk* chunk = FindChunkOutwardFromDeallocChunk(block)) {
      fDeallocChunk = chunk;
      GiveBack(*chunk, block);
    }
  }
  fCache = nullptr;
  if (fChunkCount == 0) {
    ReleaseTable();
    return;
  }
  if (fChunkCapacity > fChunkCount) FitTableToCount();
  fAllocChunk = fDeallocChunk = fChunks;
}

bool FixedAllocator::Holds(const Chunk& chunk, const unsigned char* block) const {
  if (block < chunk.data || block >= chunk.data + size_t{fNumBlocks} * fBlockSize) return false;
  return size_t(block - chunk.data) % fBlockSize == 0;
}

FixedAllocator::Chunk* FixedAllocator::FindChunkWithFreeBlock() {
  for (int32_t i = 0; i < fChunkCount; ++i)
    if (fChunks[i].blocksAvailable > 0) return &fChunks[i];
  return nullptr;
}

// Blocks are usually freed near where they were last freed, so the search
// starts there and widens one entry down and one entry up at a time.
FixedAllocator::Chunk* FixedAllocator::FindChunkOutwardFromDeallocChunk(const unsigned char* block) {
  if (fChunkCount == 0) return nullptr;
  Chunk* const first = fChunks;
  Chunk* const end = fChunks + fChunkCount;
  Chunk* down = fDeallocChunk ? fDeallocChunk : first;
  Chunk* up = down + 1;
  bool downDone = false;
  while (!downDone || up < end) {
    if (!downDone) {
      if (Holds(*down, block)) return down;
      if (down == first) downDone = true;
      else --down;
    }
    if (up < end) {
      if (Holds(*up, block)) return up;
      ++up;
    }
  }
  return nullptr;
}

FixedAllocator::Chunk* FixedAllocator::AppendNewChunk() {
  if (fNumBlocks == 0) return nullptr;
  auto* data = static_cast<unsigned char*>(OurAllocateMemory(size_t{fNumBlocks} * fBlockSize, false));
  if (!data) return nullptr;
  if (fChunkCount == fChunkCapacity && !GrowTable()) {
    OurDisposeMemory(data);
    return nullptr;
  }
  // The free list starts in address order: block k links to block k + 1.
  for (size_t k = 0; k < fNumBlocks; ++k) data[k * fBlockSize] = static_cast<unsigned char>(k + 1);
  Chunk* chunk = &fChunks[fChunkCount++];
  *chunk = Chunk{data, 0, fNumBlocks};
  fDeallocChunk = fChunks;
  return chunk;
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

void FixedAllocator::GiveBack(Chunk& chunk, unsigned char* block) {
  block[0] = chunk.firstAvailableBlock;
  chunk.firstAvailableBlock = static_cast<uint8_t>(size_t(block - chunk.data) / fBlockSize);
  if (++chunk.blocksAvailable == fNumBlocks) RemoveChunk(chunk);
}

void FixedAllocator::RemoveChunk(Chunk& chunk) {
  unsigned char* data = chunk.data;
  chunk = fChunks[fChunkCount - 1];
  --fChunkCount;
  OurDisposeMemory(data);
  fAllocChunk = fDeallocChunk = fChunkCount > 0 ? fChunks : nullptr;
}

void FixedAllocator::ReleaseTable() {
  OurDisposeMemory(fChunks);
  fChunks = fAllocChunk = fDeallocChunk = nullptr;
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
