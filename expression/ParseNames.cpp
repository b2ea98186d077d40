#include "expression/ParseNames.h"

#include "CoreUtilities/text/OurString.h"
#include "expression/OperatorTable.h"
#include "expression/SymbolTable.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

struct PrimedName {
  int32_t id;
  const char* name;
};

constexpr PrimedName kPrimedNames[] = {
    {8, "theta'"}, {9, "phi'"}, {10, "x'"}, {11, "y'"}, {12, "z'"}, {13, "r'"},
};

bool IsASCIILetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

OpCodeT ParseOp(const char* name) {
  if (!name || !*name) return 0;
  const size_t length = std::strlen(name);
  std::unique_ptr<UniChar[]> wide(new (std::nothrow) UniChar[length + 1]);
  if (!wide) return 0;
  OurCStringToString(name, wide.get(), kEncodingUTF8);
  if (wide[0] == 0) return 0;
  for (OpCodeT kind = kFirstOperatorKind; kind <= kLastOperatorKind; ++kind)
    if (OurStringEqual(gOpInfo[kind - kFirstOperatorKind].name, wide.get())) return kind;
  return 0;
}

int32_t ParseChar(const char* text) {
  if (!text || !*text) return 0;
  if (text[1] == 0 && IsASCIILetter(text[0])) return text[0];
  const size_t length = std::strlen(text);
  for (int32_t i = 0; i < gNumSpecialSymbols; ++i) {
    const UniChar* name = gSpecialSymbolInfo[i].name;
    if (OurStringLength(name) != length) continue;
    bool same = true;
    for (size_t k = 0; k < length && same; ++k) same = name[k] == static_cast<unsigned char>(text[k]);
    if (same) return gSpecialSymbolInfo[i].variableId;
  }
  return 0;
}

const char* PrimedCoordinateName(int32_t variableId) {
  for (const PrimedName& primed : kPrimedNames)
    if (primed.id == variableId) return primed.name;
  return nullptr;
}

int32_t VariableIDOfParsedName(const char* name) {
  for (const PrimedName& primed : kPrimedNames)
    if (std::strcmp(primed.name, name) == 0) return primed.id;
  return GetVariableIDFromString(name);
}
