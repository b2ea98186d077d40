#include "app/DemoScript.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr char32_t kTab = U'\t';
constexpr char32_t kQuote = U'\'';
constexpr int32_t kFewestSteps = 1;
constexpr int32_t kMostSteps = 200;

const DemoCommandCharacter* CommandOf(char32_t c) {
  for (const DemoCommandCharacter& entry : kDemoCommands)
    if (static_cast<unsigned char>(entry.character) == c) return &entry;
  return nullptr;
}

// The plain decimal number at pos (digits with at most one point, an
// optional leading minus); false when there is none.
bool ReadNumber(std::u32string_view text, size_t& pos, double& value) {
  std::string ascii;
  if (pos < text.size() && text[pos] == U'-') ascii += static_cast<char>(text[pos++]);
  bool digits = false, point = false;
  for (; pos < text.size(); ++pos) {
    const char32_t c = text[pos];
    if (c >= U'0' && c <= U'9') {
      digits = true;
    } else if (c == U'.' && !point) {
      point = true;
    } else {
      break;
    }
    ascii += static_cast<char>(c);
  }
  if (!digits) return false;
  value = std::strtod(ascii.c_str(), nullptr);
  return std::isfinite(value);
}

// The leading commands, then the text to type; false leaves the step as
// it was.
bool ReadAction(std::u32string_view field, DemoStep& step) {
  std::vector<DemoStep::Command> commands;
  size_t pos = 0;
  for (; pos < field.size();) {
    const DemoCommandCharacter* entry = CommandOf(field[pos]);
    if (entry == nullptr) break;
    ++pos;
    double number = 0;
    if (entry->takesNumber && !ReadNumber(field, pos, number)) return false;
    commands.push_back({entry->command, number});
  }
  const std::u32string_view typed = field.substr(pos);
  // Control characters that are no command have no key to type.
  if (std::any_of(typed.begin(), typed.end(), [](char32_t c) { return c < 32 || c == 127; })) return false;
  step.commands = std::move(commands);
  step.typed = typed;
  return true;
}

bool ReadCaption(std::u32string_view field, DemoStep& step) {
  if (field.size() < 2 || field.back() != kQuote) return false;
  step.hasCaption = true;
  step.caption = field.substr(1, field.size() - 2);
  return true;
}

// letter=minimum,maximum,steps
bool ReadRange(std::u32string_view field, DemoStep& step) {
  if (field.size() < 2 || field[1] != U'=' ||
      !((field[0] >= U'a' && field[0] <= U'z') || (field[0] >= U'A' && field[0] <= U'Z')))
    return false;
  size_t pos = 2;
  double low, high, steps;
  if (!ReadNumber(field, pos, low) || pos >= field.size() || field[pos++] != U',') return false;
  if (!ReadNumber(field, pos, high) || pos >= field.size() || field[pos++] != U',') return false;
  if (!ReadNumber(field, pos, steps) || pos != field.size() || steps != std::floor(steps)) return false;
  step.hasRange = true;
  step.rangeLetter = field[0];
  step.rangeMinimum = low;
  step.rangeMaximum = high;
  step.rangeSteps = static_cast<int32_t>(std::clamp<double>(steps, kFewestSteps, kMostSteps));
  return true;
}

}  // namespace

DemoStep ReadDemoLine(std::u32string_view line) {
  DemoStep step;
  size_t start = 0;
  for (bool first = true;; first = false) {
    const size_t end = std::min(line.find(kTab, start), line.size());
    const std::u32string_view field = line.substr(start, end - start);
    bool read = true;
    if (first) {
      read = ReadAction(field, step);
    } else if (!field.empty()) {
      read = field.front() == kQuote ? ReadCaption(field, step) : ReadRange(field, step);
    }
    if (!read) ++step.badFields;
    if (end == line.size()) break;
    start = end + 1;
  }
  return step;
}

std::vector<std::u32string> DemoScriptLines(std::u32string_view script) {
  std::vector<std::u32string> lines;
  size_t start = 0;
  while (start < script.size()) {
    const size_t end = std::min(script.find(U'\n', start), script.size());
    lines.emplace_back(script.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::u32string DemoTitle(std::u32string_view script) {
  for (const std::u32string& line : DemoScriptLines(script)) {
    const DemoStep step = ReadDemoLine(line);
    if (step.hasCaption && !step.caption.empty()) return step.caption;
  }
  return {};
}
