#pragma once

#include <cstddef>

#include "CoreUtilities/text/UniChar.h"

struct MDrawContext;
struct MVertex;

// A text label with its top-left corner at the anchor, drawn when the
// anchor lies in the pane. False (message 40 queued) when a translucent
// frame ran out of fragment memory.
bool DrawClippedSymbol(const MVertex* anchor, const UniChar* text, double size, MDrawContext* ctx);
// The label is the text as the 2-D drawing sets it at the label's size, its
// coverage the alpha over whatever lies behind, pixel for pixel: neither
// stretched nor keyed against a background.
bool DrawSymbol(const MVertex* anchor, const UniChar* text, double size, MDrawContext* ctx);

// The labels a context has set (its SymbolCache), kept by text, size and
// colour for as long as the context lives, the least recently drawn given
// up beyond a budget.
// Labels kept and the bytes they hold, for tests.
size_t SymbolCacheCount(const MDrawContext* ctx);
size_t SymbolCacheBytes(const MDrawContext* ctx);
inline constexpr size_t kSymbolCacheBudget = size_t(16) << 20;
