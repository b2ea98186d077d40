#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <unordered_map>
#include <utility>

#include "shaders/DecimalText.h"
#include "shaders/FragmentProgram.h"

namespace {

bool IsKill(const Program::Instruction& instruction) { return instruction.code == Program::OpCode("KIL"); }

// An instruction's operation and sources, each source by kind, sign and
// which value it is.
struct InstructionKey {
  uint64_t op;
  std::array<int64_t, 4> sources;
  size_t count;
  bool operator==(const InstructionKey& other) const {
    return op == other.op && count == other.count &&
           std::equal(sources.begin(), sources.begin() + count, other.sources.begin());
  }
};

size_t Hash(const InstructionKey& key) {
  uint64_t h = 14695981039346656037u;
  h = (h ^ key.op) * 1099511628211u;
  for (size_t i = 0; i < key.count; ++i) h = (h ^ uint64_t(key.sources[i])) * 1099511628211u;
  return size_t(h ^ (h >> 29));
}

// The first destination of each instruction key, by open addressing: a
// program is made in a few microseconds, too few for a node per entry.
class FirstWrites {
 public:
  explicit FirstWrites(size_t most) {
    size_t size = 16;
    while (size < 2 * most) size *= 2;
    fSlots.assign(size, -1);
    fEntries.reserve(most);
  }
  // The destination already recorded for key, or 0 after recording
  // destination for it.
  int32_t FindOrAdd(const InstructionKey& key, int32_t destination) {
    const size_t mask = fSlots.size() - 1;
    for (size_t at = Hash(key) & mask;; at = (at + 1) & mask) {
      if (fSlots[at] < 0) {
        fSlots[at] = int32_t(fEntries.size());
        fEntries.emplace_back(key, destination);
        return 0;
      }
      const auto& [recorded, first] = fEntries[size_t(fSlots[at])];
      if (recorded == key) return first;
    }
  }

 private:
  std::vector<int32_t> fSlots;
  std::vector<std::pair<InstructionKey, int32_t>> fEntries;
};

// Constants count as the same where their texts to 50 decimals are: apart
// from magnitudes below 1e-20 (two doubles above it differ by more than
// 1e-50), that is where their values are.
std::vector<int32_t> ConstantClasses(const std::vector<Program::Scalar>& scalars) {
  std::vector<int32_t> classes(scalars.size(), 0);
  std::vector<int32_t> tiny;
  for (const Program::Scalar& s : scalars) {
    if (s.kind != Program::kConstant) continue;
    classes[size_t(s.id)] = s.id;
    if (std::fabs(s.value) < 1e-20) tiny.push_back(s.id);
  }
  if (tiny.size() < 2) return classes;
  std::map<std::string, int32_t> texts;
  for (const int32_t id : tiny) {
    char number[128];
    std::snprintf(number, sizeof number, "%.50lf", scalars[size_t(id)].value);
    classes[size_t(id)] = texts.emplace(number, id).first->second;
  }
  return classes;
}

// "% 35.30f", remembered: the same few constants come back in most programs.
void AppendConstant(std::string& text, double value) {
  thread_local std::unordered_map<uint64_t, std::string> known;
  const auto bits = std::bit_cast<uint64_t>(value);
  auto found = known.find(bits);
  if (found == known.end()) {
    if (known.size() >= 4096) known.clear();
    std::string printed;
    AppendFixedDecimal(printed, value, 35, 30);
    found = known.emplace(bits, std::move(printed)).first;
  }
  text += found->second;
}

// Where ids have been replaced by others, the sign kept.
class Renaming {
 public:
  explicit Renaming(size_t ids) : fTo(ids, 0) {}
  void set(int32_t from, int32_t to) {
    if (size_t(from) >= fTo.size()) fTo.resize(size_t(from) + 1, 0);
    fTo[size_t(from)] = to;
  }
  int32_t operator()(int32_t id) const {
    const auto index = size_t(id < 0 ? -int64_t(id) : int64_t(id));
    if (index >= fTo.size() || !fTo[index]) return id;
    return id < 0 ? -fTo[index] : fTo[index];
  }

 private:
  std::vector<int32_t> fTo;
};

}  // namespace

// One pass: the emitters write into a temporary again (MUL r, r, a), so
// every such write first gets its own temporary; then equal instructions
// are recognised by their operands alone. The uses of the temporaries left
// are noted for the allocation.
void Program::doCSE() {
  Renaming reused(fScalars.size()), replaced(fScalars.size());
  FirstWrites seen(fInstructions.size());
  const std::vector<int32_t> constantClasses = ConstantClasses(fScalars);
  for (int32_t index = 0; index < int32_t(fInstructions.size()); ++index) {
    Instruction& instruction = fInstructions[size_t(index)];
    const bool kill = IsKill(instruction);
    for (size_t i = kill ? 0 : 1; i < instruction.operands.size(); ++i) {
      instruction.operands[i] = replaced(reused(instruction.operands[i]));
    }
    if (!kill) {
      int32_t& destination = instruction.operands[0];
      if (scalarOf(destination).kind == kTemporary) {
        if (scalarOf(destination).defined) {
          const int32_t fresh = getTemp();
          reused.set(destination, fresh);
          destination = fresh;
        }
        scalarOf(destination).defined = true;
      }
      // An output is written once and never read back: it is neither
      // removed nor a stand-in for a later temporary.
      if (scalarOf(destination).kind != kExternal) {
        InstructionKey key{instruction.code, {}, 0};
        for (size_t i = 1; i < instruction.operands.size(); ++i) {
          const int32_t id = instruction.operands[i];
          const Scalar& source = scalarOf(id);
          const int32_t same = source.kind == kConstant ? constantClasses[size_t(source.id)] : source.id;
          key.sources[key.count++] = (int64_t(source.kind) << 33) | (int64_t(id < 0) << 32) | uint32_t(same);
        }
        if (const int32_t first = seen.FindOrAdd(key, destination)) {
          instruction.removed = true;
          replaced.set(destination, first);
          continue;
        }
      }
    }
    for (const int32_t id : instruction.operands) {
      Scalar& s = scalarOf(id);
      if (s.kind != kTemporary) continue;
      if (s.firstUse < 0) s.firstUse = index;
      s.lastUse = index;
    }
  }
}

void Program::allocateScalarStorage() {
  int32_t nextConstant = 0, nextTemporary = 0;
  for (Scalar& s : fScalars) {
    if (s.id == 0) continue;
    if (s.kind == kConstant) s.slot = nextConstant++;
    if (s.kind == kTemporary && !fRegisterReuse) s.slot = nextTemporary++;
  }
  if (fRegisterReuse) {
    std::vector<char> free;  // by slot; the lowest free slot is taken first
    for (int32_t index = 0; index < int32_t(fInstructions.size()); ++index) {
      if (fInstructions[size_t(index)].removed) continue;
      for (const int32_t id : fInstructions[size_t(index)].operands) {
        Scalar& s = scalarOf(id);
        if (s.kind != kTemporary) continue;
        if (s.slot < 0 && s.firstUse == index) {
          const auto lowest = std::find(free.begin(), free.end(), 1);
          s.slot = int32_t(lowest - free.begin());
          if (lowest == free.end()) {
            free.push_back(0);
          } else {
            *lowest = 0;
          }
        }
        if (s.lastUse == index) free[size_t(s.slot)] = 1;
      }
    }
  }
  fStorageAllocated = true;
}

// The line is written in a buffer, its length bounded first, and appended
// at once: programs have hundreds of operands.
void Program::appendInstruction(std::string& text, const Instruction& instruction) {
  constexpr size_t kLongestRegister = 16;  // " -C123456789.x"
  size_t bound = instruction.op.size() + 4 + 2;
  for (const int32_t id : instruction.operands) {
    const Scalar& s = scalarOf(id);
    bound += 1 + 2 + (s.kind == kExternal ? s.name.size() : kLongestRegister);
  }
  char small[256];
  std::string large;
  if (bound > sizeof small) large.resize(bound);
  char* const line = bound > sizeof small ? large.data() : small;
  char* at = std::copy(instruction.op.begin(), instruction.op.end(), line);
  if (instruction.op.size() == 3) at = std::fill_n(at, 4, ' ');
  for (size_t i = 0; i < instruction.operands.size(); ++i) {
    const int32_t id = instruction.operands[i];
    const Scalar& s = scalarOf(id);
    if (i > 0) *at++ = ',';
    *at++ = ' ';
    *at++ = id < 0 ? '-' : ' ';
    if (s.kind == kExternal) {
      at = std::copy(s.name.begin(), s.name.end(), at);
      continue;
    }
    if (s.slot < 0) throw UnsupportedInFragmentProgram("operand without storage");
    *at++ = s.kind == kUniform ? 'U' : s.kind == kConstant ? 'C' : 'R';
    at = std::to_chars(at, at + 10, s.slot / 4).ptr;
    *at++ = '.';
    *at++ = "xyzw"[s.slot % 4];
  }
  *at++ = ';';
  *at++ = '\n';
  text.append(line, at);
}

std::string Program::getString() {
  if (!fStorageAllocated) {
    doCSE();
    allocateScalarStorage();
  }
  std::string text;
  text.reserve(1024 + 48 * fInstructions.size());
  text += "!!ARBfp1.0\n\n";
  if (fTextureUsed) text += "TEMP TX;\n";
  int32_t largestTemporary = -1;
  std::vector<double> constants;
  for (const Scalar& s : fScalars) {
    if (s.id == 0) continue;
    if (s.kind == kTemporary && s.slot > largestTemporary) largestTemporary = s.slot;
    if (s.kind == kConstant) {
      if (size_t(s.slot) >= constants.size()) constants.resize(size_t(s.slot) + 1, 0);
      constants[size_t(s.slot)] = s.value;
    }
  }
  const int32_t temporaryRegisters = std::max(1, (largestTemporary + 1 + 3) / 4);
  for (int32_t u = 0; u < temporaryRegisters; ++u) {
    text += "TEMP R";
    AppendDecimal(text, u);
    text += ";\n";
  }
  text += "\n";
  const auto uniformRegisters = int32_t((fUniforms->size() + 3) / 4);
  for (int32_t u = 0; u < uniformRegisters; ++u) {
    text += "PARAM U";
    AppendDecimal(text, u);
    text += " = program.local[";
    AppendDecimal(text, u);
    text += "];\n";
  }
  if (uniformRegisters) text += "\n";
  constants.resize((constants.size() + 3) / 4 * 4, 0);
  for (size_t block = 0; block < constants.size() / 4; ++block) {
    text += "PARAM C";
    AppendDecimal(text, int32_t(block));
    text += " = {\n";
    for (size_t i = 0; i < 4; ++i) {
      text += "    ";
      AppendConstant(text, constants[block * 4 + i]);
      text += i < 3 ? ",\n" : "\n";
    }
    text += "};\n";
  }
  if (!constants.empty()) text += "\n";
  if (fTextureUsed) text += "TEX      TX, fragment.texcoord[1].xyzw, texture[0], 2D;\n";
  for (const Instruction& instruction : fInstructions) {
    if (!instruction.removed) appendInstruction(text, instruction);
  }
  text += "\nEND\n";
  return text;
}
