#pragma once

#include <cstdint>
#include <string>

struct OurPicture;

// The pictures documents carry: PNG images written as Base64 text.

// A picture of the PNG that the Base64 text holds, or null when it holds
// none. Frees the text (OurDisposeMemory) in every case.
OurPicture* CoreDecodeTexture(char* base64, int32_t count);
// How many texts CoreDecodeTexture has found holding no picture since the
// process began; nothing is written to standard error for them.
int32_t UnreadablePictureCount();
// The picture's pixels as a PNG in Base64 text; empty when it has none.
std::string EncodeTexture(const OurPicture* picture);
