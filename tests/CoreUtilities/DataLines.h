#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

// The lines of a committed reference file under tests/data, blank lines and
// '#' comments left out; a missing or empty file fails the calling test.
inline std::vector<std::string> DataLines(const std::string& name) {
  std::ifstream file(std::string(ZL_TEST_DATA_DIR) + "/" + name);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);)
    if (!line.empty() && line[0] != '#') lines.push_back(line);
  EXPECT_FALSE(lines.empty()) << "missing or empty " << name;
  return lines;
}
