#pragma once

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/FileBytes.h"

// A fresh folder under the temporary directory, removed afterwards.
class FileTestFolder {
 public:
  explicit FileTestFolder(const char* base = nullptr) {
    std::string pattern =
        (base != nullptr ? std::string(base) : std::filesystem::temp_directory_path().string()) + "/zl-files-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) fPath = pattern;
  }
  ~FileTestFolder() {
    std::error_code ignored;
    if (!fPath.empty()) std::filesystem::remove_all(fPath, ignored);
  }
  bool Made() const { return !fPath.empty(); }
  std::string operator/(const std::string& name) const { return fPath + "/" + name; }
  const std::string& Path() const { return fPath; }
  std::ptrdiff_t EntryCount() const {
    return std::distance(std::filesystem::directory_iterator(fPath), std::filesystem::directory_iterator());
  }

 private:
  std::string fPath;
};

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}
