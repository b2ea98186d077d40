#pragma once

#include "CoreUtilities/text/UniChar.h"

#include <cstdint>
#include <vector>

// Variable names and their ids, for the life of the process, shared by all
// documents and safe to use from any thread. Ids: 1 to 6 the special
// symbols, 8 to 13 the primed coordinates, a one-character name below 128
// its character code, every other name the next count from 256 up to
// kLastVariableID.

inline constexpr int32_t kFirstCountedVariableID = 256;
inline constexpr int32_t kLastVariableID = 32767;
// Given for a null or unreadable name, and, with message 36 queued, when a
// name cannot be entered (memory, or the ids are used up).
inline constexpr int32_t kNoVariableID = 0;

int32_t GetVariableIDFromString(const UniChar* name);
int32_t GetVariableIDFromString(const char* utf8Name);
// The name of an id; the interned "_index_" when no name has it. Never to
// be freed; it lives until ReleasegSymbolTableStrings.
const UniChar* GetVariableStringFromID(int32_t variableId);
// A fresh id for a name that has none; kNoVariableID when used up.
int32_t GenerateNewAtomUID();
// Shutdown: frees every name and empties the table and the global names.
void ReleasegSymbolTableStrings();

// The names offered as known variables.
std::vector<const UniChar*> GetGlobalNames();
void ClearGlobalNames();
// Appends the id's name unless that very string is already there.
void AddToGlobalNames(int32_t variableId);
// Appends "color", "symbol", "label", "radius", "fontsize".
void AddSpecialConstantsToGlobalNames();

// True for the ids of the attribute words above.
bool IsReservedWord(int32_t variableId);

// phi, theta, the primed coordinates, r and t to z.
bool Is_xyzwtuvr_theta_phi(int32_t variableId);
// pi, inf, degree, ldots, e, i.
bool Is_pi_degree_e_i_inf(int32_t variableId);
bool Is_xyzwtuvr_theta_phi_pi_degree_e_i_inf(int32_t variableId);
