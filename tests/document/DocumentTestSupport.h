#pragma once

#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

// The bytes of a file, none if it cannot be read.
inline std::string FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// The bytes of a golden file under tests/data.
inline std::string Golden(const char* name) { return FileBytes(std::string(ZL_TEST_DATA_DIR) + "/" + name); }

inline std::unique_ptr<DocumentRecord> Read(const std::string& text) {
  return ReadDocumentText(text.data(), static_cast<int32_t>(text.size()));
}
