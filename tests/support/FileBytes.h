#pragma once

#include <fstream>
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
inline std::string Golden(const std::string& name) { return FileBytes(std::string(ZL_TEST_DATA_DIR) + "/" + name); }
