#include "CoreUtilities/text/OurString.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr auto kUnknownEncoding = static_cast<OurStringEncoding>(3);

// Into a heap buffer of exactly `size` bytes, so that the address sanitizer
// catches a write past it; "X" when nothing was written.
std::string ToBytes(const std::u16string& s, size_t size, OurStringEncoding encoding) {
  auto buffer = std::make_unique<char[]>(std::max<size_t>(size, 1));
  buffer[0] = 'X';
  OurStringToCString(s.c_str(), buffer.get(), size, encoding);
  return size == 0 ? "X" : buffer.get();
}

std::u16string FromBytes(const std::string& bytes, OurStringEncoding encoding) {
  std::vector<UniChar> buffer(bytes.size() + 1, u'X');
  OurCStringToString(bytes.c_str(), buffer.data(), encoding);
  return buffer.data();
}

}  // namespace

TEST(OurString, CompareFindAndCreate) {
  EXPECT_EQ(OurStringCompare(u"ab", u"abc"), -'c');
  EXPECT_GT(OurStringCompare(u"\xFFFF", u"A"), 0);  // units compare unsigned
  EXPECT_EQ(OurStringCompare(nullptr, u"a"), 1);
  EXPECT_EQ(OurStringCompare(u"a", nullptr), -1);
  EXPECT_TRUE(OurStringEqual(nullptr, nullptr));
  EXPECT_FALSE(OurStringEqual(u"", nullptr));
  const UniChar* text = u"a=b";
  EXPECT_EQ(OurStringFindCharacter(text, 0), text + 3);
  EXPECT_EQ(OurStringFindCharacter(static_cast<UniChar*>(nullptr), u'a'), nullptr);
  UniChar* prefix = OurStringCreate(u"abc", 2);
  EXPECT_EQ(std::u16string(prefix), u"ab");
  OurStringDispose(prefix);
}

TEST(OurString, EncodingsRefuseWhatTheyCannotHold) {
  EXPECT_EQ(ToBytes(u"caf\u00E9", 5, kEncodingASCII), "");
  EXPECT_EQ(ToBytes(u"caf\u00E9", 5, kEncodingOneByte), "caf\xE9");
  EXPECT_EQ(ToBytes(u"\u0100", 2, kEncodingOneByte), "");
  EXPECT_EQ(ToBytes(u"abc", 4, kUnknownEncoding), "");
  EXPECT_EQ(ToBytes(u"abc", 0, kEncodingUTF8), "X");
  EXPECT_EQ(FromBytes("caf\xE9", kEncodingOneByte), u"caf\u00E9");
  EXPECT_EQ(FromBytes("caf\xE9", kEncodingASCII), u"");
  EXPECT_EQ(FromBytes("\xF0\x9F\x98\x80", kEncodingUTF8), u"\U0001F600");
  EXPECT_EQ(FromBytes("ok\xED\xA0\x80", kEncodingUTF8), u"");  // an encoded surrogate
  EXPECT_EQ(FromBytes("abc", kUnknownEncoding), u"");
  EXPECT_EQ(OurStringSizeForEncoding(u"\u00E9", kEncodingUTF8), 3u);
  EXPECT_EQ(OurStringSizeForEncoding(u"\U0001F600", kEncodingUTF8), 5u);
  EXPECT_EQ(OurStringSizeForEncoding(u"abc", kUnknownEncoding), 0u);
}

// The size reported is exactly the room conversion needs: one byte less
// gives the empty string in every encoding and writes nothing past the end.
TEST(OurString, SizeForEncodingIsExactlyTheRoomNeeded) {
  const char32_t samples[] = {0x41, 0x7F, 0x80, 0xE9, 0xFF, 0x100, 0x7FF, 0x800, 0xFFFF, 0x10000, 0x10FFFF};
  std::mt19937 rng(7);
  for (int round = 0; round < 3000; ++round) {
    std::u16string s;
    for (unsigned i = rng() % 6; i > 0; --i) {
      const char32_t c = samples[rng() % std::size(samples)];
      if (c < 0x10000)
        s += static_cast<char16_t>(c);
      else
        s += {static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)), static_cast<char16_t>(0xDC00 + (c & 0x3FF))};
    }
    for (auto encoding : {kEncodingASCII, kEncodingOneByte, kEncodingUTF8}) {
      const size_t size = OurStringSizeForEncoding(s.c_str(), encoding);
      const std::string fits = ToBytes(s, size, encoding);
      EXPECT_TRUE(fits.empty() || (FromBytes(fits, encoding) == s && fits.size() + 1 == size));
      EXPECT_TRUE(s.empty() || ToBytes(s, size - 1, encoding).empty()) << encoding;
    }
  }
}

TEST(OurString, TableHeadingRefusesDigitsAndOperators) {
  const std::u16string refused = u"0123456789!\"'()+-/<=>";
  for (UniChar c = 1; c < 0x3000; ++c)
    EXPECT_EQ(ValidSymbolInTableHeading(c, true), refused.find(c) == std::u16string::npos) << int{c};
}
