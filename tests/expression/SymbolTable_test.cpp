#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/text/InternedStrings.h"
#include "expression/SymbolTable.h"
#include "tests/CoreUtilities/BudgetRoom.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

std::u16string Text(const UniChar* s) { return s ? std::u16string(s) : u"(null)"; }

// Names unique to each test, since the table lives as long as the process.
std::string Fresh(const std::string& stem) {
  static int serial = 0;
  return stem + "_" + std::to_string(++serial);
}

// A Greek letter no earlier test has entered, which ids counted before
// `next` would name.
char16_t UnenteredGreekLetter(int32_t next) {
  std::set<std::u16string> entered;
  for (int32_t id = kFirstCountedVariableID; id < next; ++id) entered.insert(Text(GetVariableStringFromID(id)));
  for (char16_t letter = u'\u03B1'; letter <= u'\u03C9'; ++letter)
    if (!entered.count(std::u16string(1, letter))) return letter;
  return 0;
}

std::string Utf8(char16_t twoByteCharacter) {
  return {static_cast<char>(0xC0 | (twoByteCharacter >> 6)), static_cast<char>(0x80 | (twoByteCharacter & 0x3F))};
}

TEST(SymbolTable, IdsByTheScheme) {
  const int32_t first = GetVariableIDFromString(Fresh("velocity").c_str());
  const std::string second = Fresh("mass");
  EXPECT_GE(first, kFirstCountedVariableID);
  EXPECT_EQ(GetVariableIDFromString(second.c_str()), first + 1);
  EXPECT_EQ(GetVariableIDFromString(second.c_str()), first + 1);
  EXPECT_EQ(Text(GetVariableStringFromID(first + 1)), std::u16string(second.begin(), second.end()));
  EXPECT_EQ(GetVariableIDFromString("x"), 120);
  const char16_t letter = UnenteredGreekLetter(first + 2);
  ASSERT_NE(letter, 0);
  const UniChar name[] = {letter, 0};
  EXPECT_EQ(GetVariableIDFromString(name), first + 2);                  // one character above 127: counted
  EXPECT_EQ(GetVariableIDFromString(Utf8(letter).c_str()), first + 2);  // the same name in UTF-8
  EXPECT_EQ(Text(GetVariableStringFromID(1)), u"_index_");
  EXPECT_EQ(GetVariableIDFromString(static_cast<const char*>(nullptr)), kNoVariableID);
  EXPECT_EQ(GetVariableIDFromString("\xFF"), kNoVariableID);  // not UTF-8
}

TEST(SymbolTable, ReservedWordsAndGlobalNames) {
  EXPECT_FALSE(IsReservedWord(120));
  const int32_t color = GetVariableIDFromString("color");
  EXPECT_TRUE(IsReservedWord(color));
  EXPECT_TRUE(IsReservedWord(GetVariableIDFromString("fontsize")));
  EXPECT_FALSE(IsReservedWord(GetVariableIDFromString(Fresh("colour").c_str())));

  ClearGlobalNames();
  AddToGlobalNames(color);
  AddToGlobalNames(color);
  EXPECT_EQ(GetGlobalNames().size(), 1u);
  AddSpecialConstantsToGlobalNames();
  AddSpecialConstantsToGlobalNames();
  const std::vector<const UniChar*> names = GetGlobalNames();
  ASSERT_EQ(names.size(), 11u);
  EXPECT_EQ(names[1], OurInternCString("color"));
  EXPECT_EQ(names[10], OurInternCString("fontsize"));
}

TEST(SymbolTable, PredicatesOnBuiltInIds) {
  std::vector<int32_t> coordinates, constants, either;
  for (int32_t id = -5; id < 400; ++id) {
    if (Is_xyzwtuvr_theta_phi(id)) coordinates.push_back(id);
    if (Is_pi_degree_e_i_inf(id)) constants.push_back(id);
    if (Is_xyzwtuvr_theta_phi_pi_degree_e_i_inf(id)) either.push_back(id);
  }
  EXPECT_EQ(coordinates,
            (std::vector<int32_t>{2, 3, 7, 8, 9, 10, 11, 12, 13, 14, 114, 116, 117, 118, 119, 120, 121, 122}));
  EXPECT_EQ(constants, (std::vector<int32_t>{1, 4, 5, 6, 101, 105}));
  std::set<int32_t> united(coordinates.begin(), coordinates.end());
  united.insert(constants.begin(), constants.end());
  united.insert(7);  // the whole range 1 to 14 counts as built in
  EXPECT_EQ(either, std::vector<int32_t>(united.begin(), united.end()));
}

// Two threads entering and reading names at once: every name ends with
// exactly one id, and every id reads back as its name.
TEST(SymbolTable, TwoThreadsShareOneTable) {
  Watchdog watchdog("symbol table threads");
  const std::string stem = Fresh("shared");
  auto enter = [&stem](int side, std::vector<int32_t>* ids) {
    for (int i = 0; i < 1500; ++i) {
      // Half the names are entered by both threads.
      const std::string name = stem + (i % 2 ? "_both_" : "_side" + std::to_string(side) + "_") + std::to_string(i);
      ids->push_back(GetVariableIDFromString(name.c_str()));
      GetVariableStringFromID(ids->back());
      if (i % 100 == 0) GetGlobalNames();
    }
  };
  std::vector<int32_t> first, second;
  std::thread other(enter, 2, &second);
  enter(1, &first);
  other.join();
  std::set<int32_t> distinct;
  for (int i = 0; i < 1500; ++i) {
    if (i % 2) {
      ASSERT_EQ(first[i], second[i]);
    } else {
      ASSERT_NE(first[i], second[i]);
    }
    distinct.insert(first[i]);
    distinct.insert(second[i]);
    const std::string name = stem + (i % 2 ? "_both_" : "_side1_") + std::to_string(i);
    ASSERT_EQ(Text(GetVariableStringFromID(first[i])), std::u16string(name.begin(), name.end()));
  }
  EXPECT_EQ(distinct.size(), 750u * 3);
  EXPECT_EQ(distinct.count(kNoVariableID), 0u);
}

// When the table cannot grow, the name gets no id at all (and no counted
// id is spent); once memory is back it gets exactly one.
TEST(SymbolTable, GrowthFailureGivesNoIdAndSpendsNone) {
  ResetDeferredErrors();
  const std::string stem = Fresh("crowd");
  int32_t lastGiven = GetVariableIDFromString(Fresh("before").c_str());
  std::string refused;
  {
    BudgetRoom budget(0);
    // The table doubles as it grows, so its free room is never more than
    // the ids given so far; half the ids left stay for the tests after.
    const int32_t tries = std::min(lastGiven, (kLastVariableID - lastGiven) / 2);
    for (int i = 0; i <= tries && refused.empty(); ++i) {
      const std::string name = stem + std::to_string(i);
      const int32_t id = GetVariableIDFromString(name.c_str());
      if (id == kNoVariableID)
        refused = name;
      else
        lastGiven = id;
    }
  }
  ASSERT_FALSE(refused.empty());
  EXPECT_EQ(TakeDeferredError(), kOutOfMemoryError);
  const int32_t id = GetVariableIDFromString(refused.c_str());
  EXPECT_EQ(id, lastGiven + 1);
  EXPECT_EQ(GetVariableIDFromString(refused.c_str()), id);
  ResetDeferredErrors();
}

}  // namespace
