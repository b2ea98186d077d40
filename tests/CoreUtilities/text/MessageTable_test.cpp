#include "CoreUtilities/text/InternedStrings.h"
#include "CoreUtilities/text/MessageTable.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

TEST(MessageTable, IdsWithoutATextShareOneInternalError) {
  const UniChar* internalError = OurGetLocalizedString(0);
  EXPECT_EQ(std::u16string(internalError), u"Internal Error");
  for (int id : {-1, 38, 46, 49, 60, 1 << 30}) EXPECT_EQ(OurGetLocalizedString(id), internalError) << id;
  EXPECT_EQ(std::u16string(OurGetLocalizedString(52)), u"");  // an empty text is still a text
  EXPECT_EQ(OurInternCString("Internal Error"), internalError);
}

TEST(InternedStrings, OneCopyPerTextWhateverThePointer) {
  char first[] = "matrix";
  char second[] = "matrix";
  const UniChar* interned = OurInternCString(first);
  first[0] = 'M';  // the table must not depend on the caller's buffer
  EXPECT_EQ(OurInternCString(second), interned);
  EXPECT_EQ(std::u16string(interned), u"matrix");
  EXPECT_NE(OurInternCString(first), interned);
  EXPECT_EQ(OurLocalizedStringFromKey("matrix"), interned);  // one table for both lookups

  EXPECT_EQ(std::u16string(OurInternCString("caf\xC3\xA9 only")), u"");  // keys are 7-bit
  EXPECT_EQ(std::u16string(OurLocalizedStringFromKey("caf\xC3\xA9")), u"caf\u00E9");
}

TEST(InternedStrings, ThreadsInterningTogetherAgreeOnEveryPointer) {
  constexpr int kThreads = 4, kKeys = 500;
  std::vector<std::string> keys;
  for (int k = 0; k < kKeys; ++k) keys.push_back("concurrent-key-" + std::to_string(k));
  std::vector<std::vector<const UniChar*>> seen(kThreads, std::vector<const UniChar*>(kKeys));
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      for (int k = 0; k < kKeys; ++k) {
        const int key = (k + t * 137) % kKeys;  // each thread starts elsewhere
        seen[t][key] = t % 2 ? OurInternCString(keys[key].c_str()) : OurLocalizedStringFromKey(keys[key].c_str());
      }
    });
  for (auto& thread : threads) thread.join();
  for (int k = 0; k < kKeys; ++k) {
    for (int t = 1; t < kThreads; ++t) ASSERT_EQ(seen[t][k], seen[0][k]);
    ASSERT_EQ(std::u16string(seen[0][k]), std::u16string(keys[k].begin(), keys[k].end()));
  }
}
