#include "app/AppHooks.h"

#include "app/TextureCoding.h"
#include "document/TextureHooks.h"
#include "graphpane/GraphHooks.h"

namespace {

// No movie is saved and no benchmark runs inside the application.
bool IsSavingMovie() { return false; }
bool IsBenchmarkRunning() { return false; }

}  // namespace

void InstallAppHooks() {
  InstallTextureHooks({.decode = CoreDecodeTexture, .encode = EncodeTexture});
  gGraphPaneHooks.IsSavingMovie = IsSavingMovie;
  gGraphPaneHooks.IsBenchmarkRunning = IsBenchmarkRunning;
}
