#pragma once

#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

// Reads the document file at path; reports a failure, and why, on standard
// error.
inline std::unique_ptr<DocumentRecord> ReadDocumentFile(const char* path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::cerr << "cannot read " << path << ": " << std::strerror(errno) << '\n';
    return nullptr;
  }
  std::stringstream bytes;
  bytes << file.rdbuf();
  const std::string text = bytes.str();
  auto document = ReadDocumentText(text.data(), static_cast<int32_t>(text.size()));
  if (!document) std::cerr << "not read: " << path << " is not a document\n";
  return document;
}
