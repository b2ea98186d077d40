#pragma once

#include <cstddef>
#include <string>

// UTF-8 text of a document as the user gets to see it: each malformed or
// forbidden sequence (an encoded surrogate, an overlong form, a stray
// byte) becomes U+FFFD and the rest is kept. Text blocks and table cells
// both read their bytes through it.
std::u16string DecodeUTF8Replacing(const char* bytes, size_t length);
