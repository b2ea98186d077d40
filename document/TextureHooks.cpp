#include "document/TextureHooks.h"

#include "CoreUtilities/memory/MemoryBudget.h"

namespace {

TextureHooks gHooks = {};

}  // namespace

void InstallTextureHooks(const TextureHooks& hooks) { gHooks = hooks; }

OurPicture* DecodeDocumentTexture(char* base64, int32_t count) {
  if (gHooks.decode) return gHooks.decode(base64, count);
  OurDisposeMemory(base64);
  return nullptr;
}

std::string EncodeDocumentTexture(const OurPicture* picture) {
  return gHooks.encode ? gHooks.encode(picture) : std::string();
}
