#include "tests/document/DocumentTestSupport.h"

#include <gtest/gtest.h>

#include "CoreUtilities/text/OurString.h"
#include "CoreUtilities/text/OurTextEngine.h"

namespace {

// A text block's statement of about the given size and the text it stands
// for: half one paragraph of plain text, half short lines with escaped
// quotes and brackets and a style change now and then.
struct StyledText {
  std::string statement;
  std::u16string text;
};

StyledText MakeText(size_t bytes) {
  StyledText made{"Text \"", u""};
  const std::string plain = "The quick brown fox jumps over the lazy dog. ";
  while (made.statement.size() < bytes / 2) {
    made.statement += plain;
    made.text += std::u16string(plain.begin(), plain.end());
  }
  for (int line = 0; made.statement.size() < bytes; ++line) {
    made.statement += line % 64 == 0 ? "<B>a<<b</B>\"\"c\n" : "a<<b\"\"c\r\n";
    made.text += u"a<b\"c\r";
  }
  made.statement += "\";\n";
  return made;
}

TEST(LongTextReading, TextsOfOneAndSixteenMegabytesReadBackWhole) {
  for (const size_t megabytes : {1, 16}) {
    const StyledText made = MakeText(megabytes << 20);
    const auto document = Read("Zentrolabworksheet 4;\n" + made.statement);
    ASSERT_TRUE(document) << megabytes;
    ASSERT_EQ(document->fContents.blocks.Count(), 1);
    UniChar* contents = OurTextGetContents(document->fContents.blocks[0].text);
    ASSERT_NE(contents, nullptr);
    const std::u16string read(reinterpret_cast<const char16_t*>(contents), OurStringLength(contents));
    OurStringDispose(contents);
    EXPECT_EQ(read.size(), made.text.size()) << megabytes;
    EXPECT_TRUE(read == made.text) << megabytes;
  }
}

}  // namespace
