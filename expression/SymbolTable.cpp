#include "expression/SymbolTable.h"

#include "CoreUtilities/memory/AListGenericSmall.h"
#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/text/InternedStrings.h"
#include "CoreUtilities/threads/OurMutex.h"
#include "CoreUtilities/text/OurString.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

struct SymbolEntry {
  int16_t id;
  UniChar* name;  // owned by the table, shared with the global names
};

constexpr const char* kReservedWords[] = {"color", "symbol", "label", "radius", "fontsize"};
constexpr int32_t kReservedWordCount = 5;

// Every field is read and written with the mutex held. Names are freed
// only at shutdown, so a name handed out stays valid after the unlock.
struct SymbolTableState {
  OurMutex mutex;
  AListGenericSmall<SymbolEntry> entries;
  AListGenericSmall<const UniChar*> globalNames;
  int32_t nextCountedID = kFirstCountedVariableID;
  int32_t reservedIDs[kReservedWordCount] = {};
  bool reservedIDsKnown = false;
};

// Never destroyed: names may be asked for while the process ends.
SymbolTableState& State() {
  static SymbolTableState* const state = new SymbolTableState;
  return *state;
}

int32_t FailToEnter(UniChar* copy) {
  OurStringDispose(copy);
  QueueError(kOutOfMemoryError);
  return kNoVariableID;
}

int32_t IDOfNameLocked(SymbolTableState& state, const UniChar* name) {
  for (const SymbolEntry& entry : state.entries)
    if (OurStringCompare(entry.name, name) == 0) return entry.id;

  const size_t length = OurStringLength(name);
  const bool isOwnCode = length == 1 && name[0] <= 127;
  if (!isOwnCode && state.nextCountedID > kLastVariableID) return FailToEnter(nullptr);
  UniChar* copy = OurStringCreate(name, length);
  if (!copy) return FailToEnter(nullptr);
  const int32_t id = isOwnCode ? int32_t{name[0]} : state.nextCountedID;
  // A name that cannot be entered gets no id at all, so that it never
  // has two.
  if (state.entries.Add(SymbolEntry{static_cast<int16_t>(id), copy}) != 0) return FailToEnter(copy);
  if (!isOwnCode) ++state.nextCountedID;
  state.globalNames.Add(copy);
  return id;
}

const UniChar* NameOfIDLocked(const SymbolTableState& state, int32_t variableId) {
  for (const SymbolEntry& entry : state.entries)
    if (entry.id == variableId) return entry.name;
  return OurInternCString("_index_");
}

}  // namespace

int32_t GetVariableIDFromString(const UniChar* name) {
  if (!name) return kNoVariableID;
  SymbolTableState& state = State();
  OurLock lock(state.mutex);
  return IDOfNameLocked(state, name);
}

int32_t GetVariableIDFromString(const char* utf8Name) {
  if (!utf8Name) return kNoVariableID;
  const size_t byteCount = std::strlen(utf8Name);
  std::unique_ptr<UniChar[]> name(new (std::nothrow) UniChar[byteCount + 1]);
  if (!name) return kNoVariableID;
  OurCStringToString(utf8Name, name.get(), kEncodingUTF8);
  if (byteCount > 0 && name[0] == 0) return kNoVariableID;
  return GetVariableIDFromString(name.get());
}

const UniChar* GetVariableStringFromID(int32_t variableId) {
  SymbolTableState& state = State();
  OurLock lock(state.mutex);
  return NameOfIDLocked(state, variableId);
}

int32_t GenerateNewAtomUID() {
  SymbolTableState& state = State();
  OurLock lock(state.mutex);
  if (state.nextCountedID > kLastVariableID) {
    QueueError(kOutOfMemoryError);
    return kNoVariableID;
  }
  return state.nextCountedID++;
}

void ReleasegSymbolTableStrings() {
  SymbolTableState& state = State();
  OurLock lock(state.mutex);
  for (SymbolEntry& entry : state.entries) OurStringDispose(entry.name);
  state.entries.RemoveAllElements();
  state.globalNames.RemoveAllElements();
  state.reservedIDsKnown = false;
}

std::vector<const UniChar*> GetGlobalNames() {
  SymbolTableState& state = State();
  OurLock lock(state.mutex);
  return std::vector<const UniChar*>(state.globalNames.begin(), state.globalNames.end());
}

void ClearGlobalNames() {
  SymbolTableState& state = State();
  OurLock lock(state.mutex);
  state.globalNames.RemoveAllElements();
}

void AddToGlobalNames(int32_t variableId) {
  SymbolTableState& state = State();
  OurLock lock(state.mutex);
  const UniChar* name = NameOfIDLocked(state, variableId);
  for (const UniChar* known : state.globalNames)
    if (known == name) return;
  state.globalNames.Add(name);
}

void AddSpecialConstantsToGlobalNames() {
  SymbolTableState& state = State();
  OurLock lock(state.mutex);
  for (const char* word : kReservedWords) state.globalNames.Add(OurInternCString(word));
}

bool IsReservedWord(int32_t variableId) {
  SymbolTableState& state = State();
  OurLock lock(state.mutex);
  if (!state.reservedIDsKnown) {
    bool allEntered = true;
    for (int32_t i = 0; i < kReservedWordCount; ++i) {
      state.reservedIDs[i] = IDOfNameLocked(state, OurInternCString(kReservedWords[i]));
      allEntered = allEntered && state.reservedIDs[i] != kNoVariableID;
    }
    // Asked again next time when memory kept a word out.
    state.reservedIDsKnown = allEntered;
  }
  if (variableId == kNoVariableID) return false;
  for (int32_t id : state.reservedIDs)
    if (id == variableId) return true;
  return false;
}

bool Is_xyzwtuvr_theta_phi(int32_t variableId) {
  return variableId == 2 || variableId == 3 || (variableId >= 7 && variableId <= 14) || variableId == 114 ||
         (variableId >= 116 && variableId <= 122);
}

bool Is_pi_degree_e_i_inf(int32_t variableId) {
  return variableId == 1 || (variableId >= 4 && variableId <= 6) || variableId == 101 || variableId == 105;
}

bool Is_xyzwtuvr_theta_phi_pi_degree_e_i_inf(int32_t variableId) {
  return (variableId >= 1 && variableId <= 14) || variableId == 101 || variableId == 105 || variableId == 114 ||
         (variableId >= 116 && variableId <= 122);
}
