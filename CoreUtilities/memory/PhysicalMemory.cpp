#include "CoreUtilities/memory/PhysicalMemory.h"

#include "CoreUtilities/memory/MemoryBudget.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

std::string ReadSmallFile(const char* path) {
  std::string text;
  if (FILE* file = std::fopen(path, "r")) {
    char buffer[64];
    const size_t length = std::fread(buffer, 1, sizeof buffer, file);
    text.assign(buffer, length);
    std::fclose(file);
  }
  return text;
}

}  // namespace

double PhysicalMemoryWithinCgroupLimit(double systemBytes, std::string_view memoryMaxText) {
  if (!memoryMaxText.empty() && memoryMaxText.back() == '\n') memoryMaxText.remove_suffix(1);
  if (memoryMaxText.empty()) return systemBytes;
  uint64_t limit = 0;
  const char* end = memoryMaxText.data() + memoryMaxText.size();
  const auto [stop, error] = std::from_chars(memoryMaxText.data(), end, limit);
  if (error != std::errc() || stop != end) return systemBytes;
  return std::min(systemBytes, static_cast<double>(limit));
}

void InitializePhysicalMemory() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || pageSize <= 0) return;
  const double systemBytes = static_cast<double>(pages) * static_cast<double>(pageSize);
  gPhysicalMemory = PhysicalMemoryWithinCgroupLimit(systemBytes, ReadSmallFile("/sys/fs/cgroup/memory.max"));
}
