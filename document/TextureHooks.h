#pragma once

#include <cstdint>
#include <string>

struct OurPicture;

// The pictures documents carry are PNG images written as Base64 text; the
// coding lives in app/, which installs it at start-up (InstallAppHooks).
// Until then no picture decodes and none is written.
struct TextureHooks {
  // A picture of the PNG that the text holds, or null; frees the text
  // (OurDisposeMemory) in every case.
  OurPicture* (*decode)(char* base64, int32_t count);
  // The picture's pixels as a PNG in Base64 text; empty when it has none.
  std::string (*encode)(const OurPicture* picture);
};

void InstallTextureHooks(const TextureHooks& hooks);

OurPicture* DecodeDocumentTexture(char* base64, int32_t count);
std::string EncodeDocumentTexture(const OurPicture* picture);
