#pragma once

#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

// Reads the document file at path; reports a failure on standard error.
inline auto ReadDocumentFile(const char* path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  const std::string text = bytes.str();
  auto document = ReadDocumentText(text.data(), static_cast<int32_t>(text.size()));
  if (!document) std::cerr << "not read: " << path << '\n';
  return document;
}
