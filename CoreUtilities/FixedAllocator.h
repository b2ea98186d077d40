#pragma once

#include <cstddef>
#include <cstdint>

// Serves blocks of one size from chunks of up to 255 blocks, keeping the
// free-list links inside the free blocks themselves (one-byte indices), so
// there is no per-block header. A freed block goes to a front cache and is
// handed out again at once; FlushCache gives cached blocks back to their
// chunks and releases chunks that become wholly free. One thread at a time.
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

  bool Holds(const Chunk& chunk, const unsigned char* block) const;
  Chunk* FindChunkWithFreeBlock();
  Chunk* FindChunkOutwardFromDeallocChunk(const unsigned char* block);
  Chunk* AppendNewChunk();
  bool GrowTable();
  void GiveBack(Chunk& chunk, unsigned char* block);
  void RemoveChunk(Chunk& chunk);
  void ReleaseTable();
  void FitTableToCount();

  uint32_t fBlockSize;
  uint8_t fNumBlocks;
  Chunk* fChunks = nullptr;
  int32_t fChunkCount = 0;
  int32_t fChunkCapacity = 0;
  Chunk* fAllocChunk = nullptr;
  Chunk* fDeallocChunk = nullptr;
  void* fCache = nullptr;  // each cached block holds the next one's address
};
