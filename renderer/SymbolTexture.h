#pragma once

#include "CoreUtilities/OurText/UniChar.h"

struct MDrawContext;
struct MVertex;

// A text label with its top-left corner at the anchor, drawn when the
// anchor lies in the pane. False (message 40 queued) when a translucent
// frame ran out of fragment memory.
bool DrawClippedSymbol(const MVertex* anchor, const UniChar* text, double size, MDrawContext* ctx);
bool DrawSymbol(const MVertex* anchor, const UniChar* text, double size, MDrawContext* ctx);

// The one label texture kept between calls.
void ReleaseSymbolTexture();
