#include "CoreUtilities/memory/FixedAllocator.h"

#include "tests/CoreUtilities/BudgetRoom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <vector>

namespace {

// The budget total is the outside witness of when chunks are made and freed.
int64_t TotalUsed() { return gApproximateTotalMemoryUsed.load(); }

TEST(FixedAllocator, FirstChunkHoldsBlocksInAddressOrderAtAlignedStride) {
  const std::map<size_t, int> blocksPerChunk = {{4, 255},  {8, 255}, {16, 255}, {24, 128},
                                                {32, 128}, {40, 85}, {100, 36}, {4096, 1}};
  for (const auto& [size, expected] : blocksPerChunk) {
    const int64_t start = TotalUsed();
    {
      FixedAllocator pool(size);
      auto* first = static_cast<unsigned char*>(pool.Allocate());
      const int64_t oneChunk = TotalUsed();
      ASSERT_GT(oneChunk, start);
      EXPECT_EQ(reinterpret_cast<uintptr_t>(first) % 16, 0u);
      int inFirstChunk = 1;
      for (;; ++inFirstChunk) {
        auto* block = static_cast<unsigned char*>(pool.Allocate());
        if (TotalUsed() != oneChunk) break;  // a second chunk was made
        EXPECT_EQ(block, first + inFirstChunk * ((size + 15) / 16 * 16)) << size;
      }
      EXPECT_EQ(inFirstChunk, expected) << size;
    }
    EXPECT_EQ(TotalUsed(), start) << size;  // the destructor releases live blocks too
  }
}

TEST(FixedAllocator, FreedBlockComesBackFirstAndFlushReleasesChunksAndTable) {
  const int64_t start = TotalUsed();
  FixedAllocator pool(32);  // 128 blocks per chunk
  std::vector<void*> blocks;
  for (int i = 0; i < 129; ++i) blocks.push_back(pool.Allocate());
  pool.Deallocate(blocks[5]);
  pool.Deallocate(blocks[77]);
  EXPECT_EQ(pool.Allocate(), blocks[77]);
  EXPECT_EQ(pool.Allocate(), blocks[5]);

  const int64_t twoChunks = TotalUsed();
  for (int i = 0; i < 128; ++i) pool.Deallocate(blocks[i]);
  pool.FlushCache();  // only the first chunk is wholly free
  EXPECT_LT(TotalUsed(), twoChunks);
  EXPECT_GT(TotalUsed(), start);
  std::memset(blocks[128], 0x5A, 32);

  pool.Deallocate(blocks[128]);
  pool.FlushCache();
  EXPECT_EQ(TotalUsed(), start);
  EXPECT_NE(pool.Allocate(), nullptr);
}

TEST(FixedAllocator, UnusableSizesAndRefusedMemoryGiveNullAndChangeNothing) {
  const int64_t start = TotalUsed();
  EXPECT_EQ(FixedAllocator(0).Allocate(), nullptr);
  EXPECT_EQ(FixedAllocator(4097).Allocate(), nullptr);
  FixedAllocator pool(4096);  // one block per chunk
  {
    BudgetRoom room(100);
    EXPECT_EQ(pool.Allocate(), nullptr);
    room.Leave(4200);  // the chunk fits, its table does not
    EXPECT_EQ(pool.Allocate(), nullptr);
    EXPECT_EQ(TotalUsed(), start);
  }
  std::vector<void*> blocks;
  for (int i = 0; i < 16; ++i) blocks.push_back(pool.Allocate());
  const int64_t sixteen = TotalUsed();
  {
    BudgetRoom room(4200);  // the table must double for the 17th chunk
    EXPECT_EQ(pool.Allocate(), nullptr);
    EXPECT_EQ(TotalUsed(), sixteen);
  }
  for (void* block : blocks) std::memset(block, 1, 4096);
  EXPECT_NE(pool.Allocate(), nullptr);
}

// Several pools against a book of live blocks: every block aligned, apart
// from every other, and untouched until freed; at the end every chunk must
// be found and released again.
TEST(FixedAllocator, RandomRunAgainstABookOfLiveBlocks) {
  const int64_t start = TotalUsed();
  const std::vector<size_t> sizes = {8, 24, 48, 200, 1000};
  std::vector<std::unique_ptr<FixedAllocator>> pools;
  for (size_t size : sizes) pools.push_back(std::make_unique<FixedAllocator>(size));
  struct Live {
    unsigned char* block;
    int pool;
    unsigned char tag;
  };
  std::vector<Live> live;
  std::map<uintptr_t, size_t> extents;
  std::mt19937 random(2024);
  auto isIntact = [&](const Live& entry) {
    for (size_t i = 0; i < sizes[entry.pool]; ++i)
      if (entry.block[i] != entry.tag) return false;
    return true;
  };
  auto release = [&](const Live& entry) {
    extents.erase(reinterpret_cast<uintptr_t>(entry.block));
    pools[entry.pool]->Deallocate(entry.block);
  };
  int flushesThatReleased = 0;
  for (int step = 0; step < 300'000; ++step) {
    // Growing and shrinking phases, so that chunks also empty out.
    const unsigned allocateShare = (step / 25'000) % 2 == 0 ? 700 : 300;
    const unsigned choice = random() % 1000;
    if (choice < allocateShare || live.empty()) {
      const int which = int(random() % pools.size());
      auto* block = static_cast<unsigned char*>(pools[which]->Allocate());
      const auto address = reinterpret_cast<uintptr_t>(block);
      ASSERT_EQ(address % 16, 0u);
      const auto next = extents.lower_bound(address);
      ASSERT_TRUE(next == extents.end() || next->first >= address + sizes[which]) << step;
      ASSERT_TRUE(next == extents.begin() || std::prev(next)->first + std::prev(next)->second <= address);
      extents.emplace(address, sizes[which]);
      live.push_back({block, which, static_cast<unsigned char>(random())});
      std::memset(block, live.back().tag, sizes[which]);
    } else if (choice < 997) {
      const size_t index = random() % live.size();
      ASSERT_TRUE(isIntact(live[index])) << step;
      release(live[index]);
      live[index] = live.back();
      live.pop_back();
    } else {
      const int64_t before = TotalUsed();
      pools[random() % pools.size()]->FlushCache();
      flushesThatReleased += TotalUsed() < before;
    }
  }
  EXPECT_GT(flushesThatReleased, 0);
  for (size_t i = 0; i < live.size(); i += 2) release(live[i]);
  for (auto& pool : pools) pool->FlushCache();
  for (size_t i = 1; i < live.size(); i += 2) {
    ASSERT_TRUE(isIntact(live[i]));
    release(live[i]);
  }
  for (auto& pool : pools) pool->FlushCache();
  EXPECT_EQ(TotalUsed(), start);
}

// Distinct pages holding the blocks: chunks are heap blocks at no particular
// address, so pages are the outside measure of how close blocks lie.
size_t PagesTouched(const std::vector<void*>& blocks) {
  std::set<uintptr_t> pages;
  for (void* block : blocks) pages.insert(reinterpret_cast<uintptr_t>(block) / 4096);
  return pages.size();
}

std::vector<void*> AllocateMany(FixedAllocator& pool, int count) {
  std::vector<void*> blocks;
  for (int i = 0; i < count; ++i) blocks.push_back(pool.Allocate());
  return blocks;
}

// After most of many blocks were freed in shuffled order, new blocks fill
// one chunk after another instead of following the order of the frees.
TEST(FixedAllocator, NewBlocksAfterShuffledFreesLieTogether) {
  FixedAllocator pool(48);  // 85 blocks per chunk
  std::vector<void*> blocks = AllocateMany(pool, 100'000);
  std::mt19937 random(7);
  std::shuffle(blocks.begin(), blocks.end(), random);
  const size_t kept = blocks.size() / 10;  // a few live blocks in nearly every chunk
  for (size_t i = kept; i < blocks.size(); ++i) pool.Deallocate(blocks[i]);
  blocks.resize(kept);
  const std::vector<void*> fresh = AllocateMany(pool, 20'000);
  // About 77 free blocks a chunk, each chunk on at most two pages, and a
  // few dozen blocks straight from the cache of recent frees.
  EXPECT_LT(PagesTouched(fresh), 2 * 20'000 / 70 + 100);
  std::set<void*> distinct(fresh.begin(), fresh.end());
  distinct.insert(blocks.begin(), blocks.end());
  EXPECT_EQ(distinct.size(), fresh.size() + blocks.size());
}

// Past a few megabytes of wholly free chunks, they go back to the heap
// without waiting for a flush.
TEST(FixedAllocator, ManyChunksEmptiedByFreesGoBackWithoutAFlush) {
  const int64_t start = TotalUsed();
  {
    FixedAllocator pool(48);
    std::vector<void*> blocks = AllocateMany(pool, 200'000);
    const int64_t full = TotalUsed();
    std::mt19937 random(11);
    std::shuffle(blocks.begin(), blocks.end(), random);
    for (void* block : blocks) pool.Deallocate(block);
    EXPECT_LT(TotalUsed() - start, (full - start) / 8);  // the table and a few chunks
    blocks = AllocateMany(pool, 1000);
    EXPECT_EQ(std::count(blocks.begin(), blocks.end(), nullptr), 0);
    for (void* block : blocks) pool.Deallocate(block);
    pool.FlushCache();
    EXPECT_EQ(TotalUsed(), start);
  }
  EXPECT_EQ(TotalUsed(), start);
}

}  // namespace
