// Grapheme cluster boundaries of sample texts by an independent engine
// (ICU's character break iterator). Built and run by hand, never by CI:
//   g++ -std=c++20 grapheme_boundaries.cpp -o /tmp/gb $(pkg-config --cflags --libs icu-uc) && /tmp/gb >
//   grapheme_boundaries.txt
// Line format: UTF-16 code units (hex)|boundary offsets, both ends included
#include <unicode/brkiter.h>
#include <unicode/unistr.h>

#include <cstdio>
#include <memory>

int main() {
  const char* samples[] = {
      "e\u0301te\u0301",                              // combining acute
      "a\u0308\u0323b",                               // two marks on one base
      "x\U0001D465y",                                 // mathematical italic x (surrogate pair)
      "\U0001F600\U0001F601",                         // two emoji
      "\U0001F468\u200D\U0001F469\u200D\U0001F467!",  // family: zero-width joiner sequence
      "\U0001F1E9\U0001F1EA\U0001F1EB\U0001F1F7",     // two regional-indicator flags
      "\U0001F44D\U0001F3FD ok",                      // skin-tone modifier
      "1\uFE0F\u20E3#",                               // keycap sequence
      "\u1100\u1161\u11A8\u1100",                     // Hangul jamo syllable
      "a\r\nb",                                       // CR LF stays together
      "\u05E9\u05C1\u05B8\u05DC\u05D5\u05B9\u05DD",   // Hebrew with points
      "\u0915\u094D\u0937\u093F",                     // Devanagari with virama
  };
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::BreakIterator> breaks(
      icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
  if (U_FAILURE(status)) return 1;
  for (const char* sample : samples) {
    const icu::UnicodeString text = icu::UnicodeString::fromUTF8(sample);
    for (int32_t i = 0; i < text.length(); ++i) std::printf("%s%04X", i ? " " : "", text.charAt(i));
    std::printf("|");
    breaks->setText(text);
    for (int32_t at = breaks->first(); at != icu::BreakIterator::DONE; at = breaks->next())
      std::printf("%s%d", at ? " " : "", at);
    std::printf("\n");
  }
  return 0;
}
