#pragma once

// Pages for machine code made while the program runs. They are writable
// only until sealed, and executable only once sealed: never both at once.

#include <cstddef>
#include <cstdint>

struct CodePages {
  void* base = nullptr;
  size_t bytes = 0;
};

// Read-write pages holding at least `bytes`; empty when the system refuses.
CodePages MapCodePages(size_t bytes);

// Makes the pages read-execute. On failure they are released and emptied.
bool SealCodePages(CodePages& pages);

void ReleaseCodePages(CodePages& pages);

// Mappings made and not yet released, for finding leaks.
int64_t LiveCodePageMappings();
