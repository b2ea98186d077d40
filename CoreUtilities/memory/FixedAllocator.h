#pragma once

#include <cstddef>
#include <cstdint>

// Serves blocks of one size from chunks of up to 255 blocks, keeping the
// free-list links inside the free blocks themselves (one-byte indices), so
// there is no per-block header. A freed block goes to a small front cache
// and is handed out again at once; a full cache gives its blocks back to
// their chunks. Chunks are kept in address order and blocks are taken from
// the lowest chunk with room, one chunk until it is full, so that a tree
// made after many others were freed in any order still lies close together.
// FlushCache empties the cache and releases chunks that are wholly free.
// One thread at a time.
class FixedAllocator {
 public:
  // The size is rounded up to a multiple of 16 so that doubles inside a
  // block are aligned. A size of 0 or above 4096 makes an allocator that
  // refuses every request.
  explicit FixedAllocator(size_t blockSize);
  ~FixedAllocator();
  FixedAllocator(const FixedAllocator&) = delete;
  FixedAllocator& operator=(const FixedAllocator&) = delete;

  // Null when the memory budget refuses a new chunk or a larger table.
  void* Allocate();
  // The block must have come from this allocator; null is ignored.
  void Deallocate(void* block);
  void FlushCache();

 private:
  struct Chunk {
    unsigned char* data;
    uint8_t firstAvailableBlock;
    uint8_t blocksAvailable;
  };

  Chunk* FirstChunkAbove(const unsigned char* address) const;
  int32_t ChunkHolding(const unsigned char* block) const;
  int32_t LowestChunkWithFreeBlock();
  int32_t InsertNewChunk();
  bool GrowTable();
  void EmptyCache();
  void GiveBack(int32_t index, unsigned char* block);
  void ReleaseEmptyChunks();
  void ReleaseTable();
  void FitTableToCount();

  uint32_t fBlockSize;
  uint8_t fNumBlocks;
  Chunk* fChunks = nullptr;  // ascending addresses
  int32_t fChunkCount = 0;
  int32_t fChunkCapacity = 0;
  int32_t fAllocIndex = -1;
  int32_t fNoFreeBlockBelow = 0;  // every chunk below this index is full
  void* fCache = nullptr;         // each cached block holds the next one's address
  int32_t fCacheCount = 0;
  int32_t fEmptyChunks = 0;
};
