#include <algorithm>
#include <cstdio>
#include <set>
#include <unordered_map>
#include <utility>

#include "renderer/FragmentProgram.h"

namespace {

bool IsKill(const Program::Instruction& instruction) { return instruction.op == "KIL"; }

int32_t Renamed(const std::unordered_map<int32_t, int32_t>& renaming, int32_t id) {
  const auto found = renaming.find(id < 0 ? -id : id);
  if (found == renaming.end()) return id;
  return id < 0 ? -found->second : found->second;
}

}  // namespace

// The emitters write into a temporary again (MUL r, r, a); giving every
// write its own temporary lets equal instructions be recognised by their
// operands alone.
void Program::undoWildReuses() {
  std::unordered_map<int32_t, int32_t> renaming;
  for (Instruction& instruction : fInstructions) {
    const size_t firstSource = IsKill(instruction) ? 0 : 1;
    for (size_t i = firstSource; i < instruction.operands.size(); ++i) {
      instruction.operands[i] = Renamed(renaming, instruction.operands[i]);
    }
    if (IsKill(instruction)) continue;
    int32_t& destination = instruction.operands[0];
    Scalar& written = scalarOf(destination);
    if (written.kind != kTemporary) continue;
    if (written.defined) {
      const int32_t fresh = getTemp();
      renaming[destination] = fresh;
      destination = fresh;
    }
    fScalars.at(destination).defined = true;
  }
}

void Program::doCSE() {
  undoWildReuses();
  std::unordered_map<std::string, int32_t> seen;
  std::unordered_map<int32_t, int32_t> replaced;
  char number[128];
  for (Instruction& instruction : fInstructions) {
    const size_t firstSource = IsKill(instruction) ? 0 : 1;
    for (size_t i = firstSource; i < instruction.operands.size(); ++i) {
      instruction.operands[i] = Renamed(replaced, instruction.operands[i]);
    }
    if (IsKill(instruction)) continue;
    std::string key = instruction.op + ",";
    for (size_t i = 1; i < instruction.operands.size(); ++i) {
      const int32_t id = instruction.operands[i];
      const Scalar& source = scalarOf(id);
      if (id < 0) key += '-';
      switch (source.kind) {
        case kConstant: std::snprintf(number, sizeof number, "%.50lf", source.value); break;
        case kUniform: std::snprintf(number, sizeof number, "U%d", source.slot); break;
        case kExternal: std::snprintf(number, sizeof number, "E%d", source.id); break;
        case kTemporary: std::snprintf(number, sizeof number, "%d", source.id); break;
      }
      key += number;
      key += ',';
    }
    const int32_t destination = instruction.operands[0];
    // An output is written once and never read back: it is neither
    // removed nor a stand-in for a later temporary.
    if (scalarOf(destination).kind == kExternal) continue;
    const auto found = seen.find(key);
    if (found == seen.end()) {
      seen.emplace(std::move(key), destination);
      continue;
    }
    instruction.removed = true;
    replaced[destination] = found->second;
  }
}

void Program::allocateScalarStorage() {
  int32_t nextConstant = 0, nextTemporary = 0;
  for (auto& [id, s] : fScalars) {
    if (s.kind == kConstant) s.slot = nextConstant++;
    if (s.kind == kTemporary && !fRegisterReuse) s.slot = nextTemporary++;
  }
  if (fRegisterReuse) {
    for (int32_t index = 0; index < int32_t(fInstructions.size()); ++index) {
      if (fInstructions[size_t(index)].removed) continue;
      for (const int32_t id : fInstructions[size_t(index)].operands) {
        Scalar& s = scalarOf(id);
        if (s.kind != kTemporary) continue;
        if (s.firstUse < 0) s.firstUse = index;
        s.lastUse = index;
      }
    }
    std::set<int32_t> free;
    for (int32_t index = 0; index < int32_t(fInstructions.size()); ++index) {
      if (fInstructions[size_t(index)].removed) continue;
      for (const int32_t id : fInstructions[size_t(index)].operands) {
        Scalar& s = scalarOf(id);
        if (s.kind != kTemporary) continue;
        if (s.slot < 0 && s.firstUse == index) {
          if (free.empty()) {
            s.slot = nextTemporary++;
          } else {
            s.slot = *free.begin();
            free.erase(free.begin());
          }
        }
        if (s.lastUse == index) free.insert(s.slot);
      }
    }
  }
  fStorageAllocated = true;
}

std::string Program::operandName(int32_t id) {
  const Scalar& s = scalarOf(id);
  std::string name = id < 0 ? " -" : "  ";
  if (s.kind == kExternal) return name + s.name;
  if (s.slot < 0) throw UnsupportedInFragmentProgram("operand without storage");
  const char letter = s.kind == kUniform ? 'U' : s.kind == kConstant ? 'C' : 'R';
  char text[32];
  std::snprintf(text, sizeof text, "%c%d.%c", letter, s.slot / 4, "xyzw"[s.slot % 4]);
  return name + text;
}

std::string Program::getString() {
  if (!fStorageAllocated) {
    doCSE();
    allocateScalarStorage();
  }
  std::string text = "!!ARBfp1.0\n\n";
  if (fTextureUsed) text += "TEMP TX;\n";
  int32_t largestTemporary = -1;
  std::vector<double> constants;
  for (const auto& [id, s] : fScalars) {
    if (s.kind == kTemporary && s.slot > largestTemporary) largestTemporary = s.slot;
    if (s.kind == kConstant) {
      if (size_t(s.slot) >= constants.size()) constants.resize(size_t(s.slot) + 1, 0);
      constants[size_t(s.slot)] = s.value;
    }
  }
  char line[256];
  const int32_t temporaryRegisters = std::max(1, (largestTemporary + 1 + 3) / 4);
  for (int32_t u = 0; u < temporaryRegisters; ++u) {
    std::snprintf(line, sizeof line, "TEMP R%u;\n", unsigned(u));
    text += line;
  }
  text += "\n";
  const auto uniformRegisters = unsigned((fUniforms->size() + 3) / 4);
  for (unsigned u = 0; u < uniformRegisters; ++u) {
    std::snprintf(line, sizeof line, "PARAM U%u = program.local[%u];\n", u, u);
    text += line;
  }
  if (uniformRegisters) text += "\n";
  constants.resize((constants.size() + 3) / 4 * 4, 0);
  for (size_t block = 0; block < constants.size() / 4; ++block) {
    const double* c = &constants[block * 4];
    std::snprintf(line, sizeof line,
                  "PARAM C%d = {\n    % 35.30f,\n    % 35.30f,\n    % 35.30f,\n    % 35.30f\n};\n", int(block), c[0],
                  c[1], c[2], c[3]);
    text += line;
  }
  if (!constants.empty()) text += "\n";
  if (fTextureUsed) text += "TEX      TX, fragment.texcoord[1].xyzw, texture[0], 2D;\n";
  for (const Instruction& instruction : fInstructions) {
    if (instruction.removed) continue;
    text += instruction.op;
    if (instruction.op.size() == 3) text += "    ";
    for (size_t i = 0; i < instruction.operands.size(); ++i) {
      if (i > 0) text += ",";
      text += operandName(instruction.operands[i]);
    }
    text += ";\n";
  }
  text += "\nEND\n";
  return text;
}
