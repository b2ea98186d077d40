#include "tools/ProgramText.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

bool ReadInt(std::string_view word, int32_t& value) {
  const auto result = std::from_chars(word.data(), word.data() + word.size(), value);
  return result.ec == std::errc() && result.ptr == word.data() + word.size();
}

bool ReadDouble(std::string_view word, double& value) {
  if (word == "nan") {
    value = gNaN;
    return true;
  }
  const auto result = std::from_chars(word.data(), word.data() + word.size(), value);
  return result.ec == std::errc() && result.ptr == word.data() + word.size();
}

int32_t ReadOpcode(std::string_view word) {
  for (int32_t i = 0; i < kPCodeOpcodeCount; ++i) {
    if (word == kPCodeInfo[i].name) return i;
  }
  int32_t number = -1;
  if (ReadInt(word, number) && number >= 0) return number;
  return -1;
}

bool Fail(std::string* error, int lineNumber, const char* what) {
  if (error != nullptr) *error = "line " + std::to_string(lineNumber) + ": " + what;
  return false;
}

bool AssembleLine(std::string_view line, int lineNumber, AStackMachine& machine, std::string* error) {
  const size_t comment = line.find('#');
  if (comment != std::string_view::npos) line = line.substr(0, comment);
  const std::vector<std::string_view> words = Words(line);
  if (words.empty()) return true;
  const int32_t opcode = ReadOpcode(words[0]);
  if (opcode < 0) return Fail(error, lineNumber, "unknown opcode");
  PCodeOp op{};
  if (opcode == pcPushNumber) {
    double value = 0;
    if (words.size() != 2 || !ReadDouble(words[1], value)) {
      return Fail(error, lineNumber, "pcPushNumber takes one number");
    }
    op = MakeNumberOp(value);
  } else {
    int32_t ids[2] = {0, 0};
    if (words.size() > 3) return Fail(error, lineNumber, "too many operands");
    for (size_t i = 1; i < words.size(); ++i) {
      if (!ReadInt(words[i], ids[i - 1])) return Fail(error, lineNumber, "operand is not an integer");
    }
    op = MakeOp(opcode, ids[0], ids[1]);
  }
  if (!machine.Add(op)) return Fail(error, lineNumber, "out of memory");
  return true;
}

}  // namespace

const char* OpcodeName(int32_t opcode) {
  const PCodeInfo* info = PCodeInfoOf(opcode);
  return info != nullptr ? info->name : nullptr;
}

std::unique_ptr<AStackMachine> AssembleProgram(std::string_view text, std::string* error) {
  std::unique_ptr<AStackMachine> machine(new AStackMachine);
  int lineNumber = 0;
  if (machine == nullptr) {
    Fail(error, lineNumber, "out of memory");
    return nullptr;
  }
  while (!text.empty()) {
    ++lineNumber;
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!AssembleLine(line, lineNumber, *machine, error)) return nullptr;
  }
  if (machine->Count() == 0 || machine->Code()[machine->Count() - 1].opcode != pcEnd) {
    if (!machine->Add(MakeOp(pcEnd))) {
      Fail(error, lineNumber, "out of memory");
      return nullptr;
    }
  }
  machine->FixLoops();
  return machine;
}

std::string DisassembleProgram(const AStackMachine& machine) {
  std::string text;
  char buffer[64];
  for (int32_t i = 0; i < machine.Count(); ++i) {
    const PCodeOp& op = machine.Code()[i];
    const char* name = OpcodeName(op.opcode);
    text += name != nullptr ? name : std::to_string(op.opcode);
    if (op.opcode == pcPushNumber) {
      text += ' ';
      if (std::isnan(op.number)) {
        text += "nan";
      } else {
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, op.number);
        text.append(buffer, result.ptr);
      }
    } else if (op.ids.a != 0 || op.ids.b != 0) {
      text += ' ';
      text += std::to_string(op.ids.a);
      if (op.ids.b != 0) {
        text += ' ';
        text += std::to_string(op.ids.b);
      }
    }
    text += '\n';
  }
  return text;
}
