#pragma once

#include <cstddef>
#include <string>

// Text bytes of a document: UTF-8, or in a document written with the
// "MacOS" text encoding, Mac Roman bytes that are not valid UTF-8. Returns
// UTF-8 either way (invalid UTF-8 in a UTF-8 document is passed on as it is
// for the reader of the text to refuse).
std::string DecodeDocumentText(const char* bytes, size_t length, bool isUTF8Document);

// The UTF-16 character of a Mac Roman byte.
char16_t MacRomanToUnicode(unsigned char byte);
