#include "CoreUtilities/text/UnicodeConversion.h"

#include "tests/CoreUtilities/DataLines.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

template <typename Text>
Text FromHex(const std::string& hex) {
  constexpr size_t kDigits = 2 * sizeof(typename Text::value_type);
  Text values;
  for (size_t i = 0; i + kDigits <= hex.size(); i += kDigits)
    values += static_cast<typename Text::value_type>(std::stoul(hex.substr(i, kDigits), nullptr, 16));
  return values;
}

// The converted text, or "!" and the result code when the converter failed
// or did not consume its whole source.
template <typename In, typename Out, typename Convert>
std::basic_string<Out> Converted(const std::basic_string<In>& in, size_t room, Convert convert) {
  std::basic_string<Out> out(room, Out{});
  const In* source = in.data();
  Out* target = out.data();
  const int result = convert(&source, in.data() + in.size(), &target, out.data() + room);
  if (result != kConversionOK || source != in.data() + in.size()) return {Out{'!'}, static_cast<Out>('0' + result)};
  out.resize(static_cast<size_t>(target - out.data()));
  return out;
}

std::u16string ToUTF16(const std::string& in, size_t room) {
  return Converted<char, UniChar>(in, room, ConvertUTF8toUTF16);
}
std::string ToUTF8(const std::u16string& in, size_t room) {
  return Converted<UniChar, char>(in, room, ConvertUTF16toUTF8);
}

}  // namespace

// Every case of the table, decided by Python's strict codecs. A success is
// also converted back, and again with one unit of room too few.
TEST(UnicodeConversion, AgreesWithStrictReferenceCodecs) {
  const std::vector<std::string> lines = DataLines("utf_reference.txt");
  EXPECT_GT(lines.size(), 150000u);
  for (const std::string& line : lines) {
    std::string kind, input, expected;
    std::istringstream(line) >> kind >> input >> expected;
    if (kind == "b") {
      const auto in = FromHex<std::string>(input);
      if (expected == "-") {
        ASSERT_EQ(ToUTF16(in, in.size())[0], u'!') << line;
        continue;
      }
      const auto want = FromHex<std::u16string>(expected);
      ASSERT_EQ(ToUTF16(in, in.size()), want) << line;
      ASSERT_EQ(ToUTF16(in, want.size() - 1), u"!2") << line;
      ASSERT_EQ(ToUTF8(want, in.size()), in) << line;
    } else {
      const auto in = FromHex<std::u16string>(input);
      if (expected == "-") {
        ASSERT_EQ(ToUTF8(in, 3 * in.size())[0], '!') << line;
        continue;
      }
      const auto want = FromHex<std::string>(expected);
      ASSERT_EQ(ToUTF8(in, 3 * in.size()), want) << line;
      ASSERT_EQ(ToUTF8(in, want.size() - 1), "!2") << line;
    }
  }
}

TEST(UnicodeConversion, FailureKindAndWhereConversionStops) {
  EXPECT_EQ(ToUTF16("\xE2\x82", 4), u"!1");  // source exhausted
  EXPECT_EQ(ToUTF16("\xF4\x90", 4), u"!3");  // truncated, yet already above U+10FFFF
  EXPECT_EQ(ToUTF8(u"a\xD800", 8), "!1");
  EXPECT_EQ(ToUTF8(u"a\xDC00", 8), "!3");

  const std::string in =
      "A\xC3\xA9\xFF"
      "B";
  const char* source = in.data();
  UniChar out[8];
  UniChar* target = out;
  EXPECT_EQ(ConvertUTF8toUTF16(&source, in.data() + in.size(), &target, out + 8), kConversionSourceIllegal);
  EXPECT_EQ(source - in.data(), 3);
  EXPECT_EQ(target - out, 2);
}
