#include "evaluation/StringValues.h"

#include <cmath>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

namespace {

struct StringValueTable {
  std::mutex mutex;
  std::deque<std::u16string> texts;  // a deque never moves its elements
  std::unordered_map<std::u16string, double> numbers;
};

StringValueTable& Table() {
  static StringValueTable table;
  return table;
}

}  // namespace

double StringValueOfText(const UniChar* text) {
  if (text == nullptr) return 0.0;
  StringValueTable& table = Table();
  std::u16string key(text);
  std::lock_guard<std::mutex> lock(table.mutex);
  auto found = table.numbers.find(key);
  if (found != table.numbers.end()) return found->second;
  table.texts.push_back(key);
  const double number = static_cast<double>(table.texts.size());
  table.numbers.emplace(std::move(key), number);
  return number;
}

const UniChar* TextOfStringValue(double value) {
  if (!(value >= 1.0) || value != std::floor(value)) return nullptr;
  StringValueTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  if (value > static_cast<double>(table.texts.size())) return nullptr;
  return table.texts[static_cast<size_t>(value) - 1].c_str();
}
