#include "app/AppHooks.h"

#include "app/TextureCoding.h"
#include "document/TextureHooks.h"

void InstallAppHooks() { InstallTextureHooks({.decode = CoreDecodeTexture, .encode = EncodeTexture}); }
