#include "CoreUtilities/MathConstants.h"
#include "CoreUtilities/text/NumberText.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Narrow(const std::u16string& s) { return {s.begin(), s.end()}; }

std::string PrintfG(double x, int digits) {
  char text[80];  // room for any %.*g, which -O2 checks; cut as our text is
  std::snprintf(text, sizeof text, "%.*g", digits, x);
  return std::string(text).substr(0, kNumberTextCapacity - 1);
}

std::u16string Formatted(double x, int digits) {
  UniChar text[kNumberTextCapacity];
  return OurDoubleToString(text, x, digits);
}

bool SameDouble(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b) && std::signbit(a) == std::signbit(b);
  return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

// The special values, then random bit patterns (subnormals and NaNs included).
double NthDouble(std::mt19937_64& rng, size_t n) {
  static constexpr double kSpecials[] = {0.0,     -0.0,    gInf,         -gInf,         gNaN, -gNaN,
                                         DBL_MAX, DBL_MIN, DBL_TRUE_MIN, -DBL_TRUE_MIN, 0.1,  1e23};
  return n < std::size(kSpecials) ? kSpecials[n] : std::bit_cast<double>(rng());
}

// A million doubles written at 17 digits read back bit for bit, and the text
// is printf's in the C locale whatever the thread's numeric locale says.
void CheckSeventeenDigitRoundTrips() {
  const bool commaLocale = PrintfG(0.5, 3) == "0,5";
  std::mt19937_64 rng(20240611);
  for (size_t i = 0; i < 1'000'000; ++i) {
    const double x = NthDouble(rng, i);
    std::string expected = PrintfG(x, 17);
    if (const size_t comma = expected.find(','); commaLocale && comma != std::string::npos) expected[comma] = '.';
    const std::u16string text = Formatted(x, 17);
    ASSERT_EQ(Narrow(text), expected);
    ASSERT_TRUE(SameDouble(OurStringToDouble(text.c_str()), x)) << expected;
  }
}

struct DisplaySettings {
  int32_t figures = gSignificantFigures, decimal = gDefaultDecimalTabChar;
  ~DisplaySettings() { gSignificantFigures = figures, gDefaultDecimalTabChar = decimal; }
};

}  // namespace

TEST(NumberText, SeventeenDigitsRoundTripInTheCLocale) {
  EXPECT_EQ(GetDecimalCharacter(), u'.');
  CheckSeventeenDigitRoundTrips();
}

TEST(NumberText, SeventeenDigitsRoundTripUnderADecimalComma) {
  const locale_t comma = newlocale(LC_NUMERIC_MASK, "de_DE.UTF-8", static_cast<locale_t>(nullptr));
  if (!comma) GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
  const locale_t previous = uselocale(comma);
  EXPECT_EQ(GetDecimalCharacter(), u',');
  CheckSeventeenDigitRoundTrips();
  UniChar text[kNumberTextCapacity];
  PrefixDoubleToString(text, u"y = ", -2.5);
  EXPECT_EQ(std::u16string(text), u"y = -2,5");
  D2Str(2.5, text);  // follows the document's setting, not the locale
  EXPECT_EQ(std::u16string(text), u"2.5");
  uselocale(previous);
  freelocale(comma);
}

TEST(NumberText, AnyDigitCountFormatsAsPrintfDoes) {
  std::mt19937_64 rng(5);
  for (size_t i = 0; i < 2000; ++i)
    for (int digits = -3; digits <= 70; ++digits) {  // long texts are cut as snprintf cuts them
      const double x = NthDouble(rng, i);
      ASSERT_EQ(Narrow(Formatted(x, digits)), PrintfG(x, digits)) << digits;
    }
}

// strtod defines the syntax "%lg" reads; the test runs in the C locale.
TEST(NumberText, ReadsWhatStrtodReads) {
  const std::string zeros(700, '0');
  std::vector<std::string> texts = {"1" + zeros, "0." + zeros + "1", "0." + zeros + "1e350",    "-1e-400",
                                    "0x1p-1080", "-0x1p1024",        "0x0." + zeros + "1p2000", "+-1"};
  std::mt19937 rng(99);
  auto pick = [&](const char* from) { return from[rng() % std::strlen(from)]; };
  auto run = [&](const char* from, unsigned most) {
    std::string s(rng() % (most + 1), ' ');
    for (char& c : s) c = pick(from);
    return s;
  };
  const char* anything = " \t+-0123456789.eExXpPaAfFinItyYN(";
  for (int i = 0; i < 150000; ++i) {
    texts.push_back(run(anything, 14));
    texts.push_back(run(" ", 1) + run("+-", 1) + run("0", 1) + run("xX", 1) + run("0123456789", 25) + run(".", 1) +
                    run("0123456789", 25) + run("eEpP", 1) + run("+-", 1) + run("0123456789", 5) + run(anything, 1));
  }
  for (const std::string& text : texts) {
    char* end = nullptr;
    const double expected = std::strtod(text.c_str(), &end);
    ASSERT_TRUE(SameDouble(StringToDouble(text.c_str()), end == text.c_str() ? gNaN : expected)) << text;
  }
}

TEST(NumberText, DisplayTextWithTheDocumentsDecimalCharacter) {
  DisplaySettings saved;
  gDefaultDecimalTabChar = u',';
  UniChar text[kNumberTextCapacity];
  int32_t exponent = 99;
  auto display = [&](double x) { return D2Str(x, text), std::u16string(text); };
  auto displayE = [&](double x) { return D2StrE(x, text, &exponent), std::u16string(text); };
  EXPECT_EQ(display(0.1), u"0,1");
  EXPECT_EQ(display(1e20), u"1e+20");
  EXPECT_EQ(displayE(1e20), u"1");
  EXPECT_EQ(exponent, 20);
  EXPECT_EQ(displayE(-1.5e-310), u"-1,5");
  EXPECT_EQ(exponent, -310);
  EXPECT_EQ(displayE(12.5), u"12,5");
  EXPECT_EQ(exponent, 0);
  EXPECT_EQ(display(gNaN), u"NaN");
  EXPECT_EQ(display(gInf), u"Infinity");
  EXPECT_EQ(Str2D(text), gInf);
  EXPECT_EQ(display(-gInf), u"-Infinity");
  EXPECT_EQ(Str2D(text), -gInf);

  PrefixDoubleToString(text, nullptr, -gInf);
  EXPECT_EQ(std::u16string(text), u"- infinity");
  PrefixDoubleToString(text, u"x: ", gNaN);
  EXPECT_EQ(std::u16string(text), u"x: not a number");
  PrefixDoubleToString(text, u"x: ", 0.25);  // the locale's point, not the document's comma
  EXPECT_EQ(std::u16string(text), u"x: 0.25");

  EXPECT_EQ(Str2D(u"  2,5"), 2.5);
  EXPECT_EQ(Str2D(u"\u00A0\u2003\u3000\u2028\u20297"), 7.0);  // every kind of separator
  for (const char16_t* unreadable : {u"\u200B7", u"NaN", u"x", u"", u"\u00E97"})
    EXPECT_TRUE(std::isnan(Str2D(unreadable))) << Narrow(unreadable);
  EXPECT_TRUE(std::isnan(Str2D(nullptr)));

  gSignificantFigures = 17;
  std::mt19937_64 rng(3);
  for (size_t i = 0; i < 20000; ++i) {
    const double x = NthDouble(rng, i);
    ASSERT_TRUE(SameDouble(Str2D(display(x).c_str()), std::isnan(x) ? gNaN : x)) << Narrow(text);
  }
}
