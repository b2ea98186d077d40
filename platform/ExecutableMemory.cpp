#include "platform/ExecutableMemory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <atomic>

namespace {

std::atomic<int64_t> gLiveCodeMappings{0};

size_t RoundedToPages(size_t bytes) {
  const auto page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  return (bytes + page - 1) / page * page;
}

}  // namespace

CodePages MapCodePages(size_t dataBytes, size_t codeBytes) {
  if (codeBytes == 0) return {};
  const size_t data = RoundedToPages(dataBytes);
  const size_t mapped = data + RoundedToPages(codeBytes);
  void* base = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED) return {};
  gLiveCodeMappings.fetch_add(1, std::memory_order_relaxed);
  return {base, mapped, data};
}

bool SealCodePages(CodePages& pages) {
  if (pages.base != nullptr) {
    auto* code = static_cast<char*>(pages.base) + pages.dataBytes;
    if (mprotect(pages.base, pages.dataBytes, PROT_READ) == 0 &&
        mprotect(code, pages.bytes - pages.dataBytes, PROT_READ | PROT_EXEC) == 0) {
      return true;
    }
  }
  ReleaseCodePages(pages);
  return false;
}

void ReleaseCodePages(CodePages& pages) {
  if (pages.base == nullptr) return;
  munmap(pages.base, pages.bytes);
  gLiveCodeMappings.fetch_sub(1, std::memory_order_relaxed);
  pages = {};
}

int64_t LiveCodePageMappings() { return gLiveCodeMappings.load(std::memory_order_relaxed); }
