#pragma once

// Pages for machine code made while the program runs, after pages for the
// data it reads. They are writable only until sealed; once sealed the
// code pages are executable and the data pages read-only. No page is ever
// writable and executable at once, and the data, which may hold any bytes
// a document gives, is never executable.

#include <cstddef>
#include <cstdint>

struct CodePages {
  void* base = nullptr;
  size_t bytes = 0;
  size_t dataBytes = 0;  // the first pages; the code starts after them
};

// Read-write pages: at least `dataBytes` of data, then at least
// `codeBytes` of code from a page boundary; empty when the system refuses.
CodePages MapCodePages(size_t dataBytes, size_t codeBytes);

// Makes the data pages read-only and the code pages read-execute. On
// failure they are released and emptied.
bool SealCodePages(CodePages& pages);

void ReleaseCodePages(CodePages& pages);

// Mappings made and not yet released, for finding leaks.
int64_t LiveCodePageMappings();
