#pragma once

#include <cstdint>

struct MDrawContext;
struct MVertex;
struct OurTexture;

// Clipped to the pane in screen space, then scan-converted. True when drawn
// or wholly outside; false when a translucent frame ran out of fragment
// memory (message 40 is then queued).
bool DrawClippedGouraudTriangle(const MVertex* a, const MVertex* b, const MVertex* c, MDrawContext* ctx);
// A null texture draws the triangle in its vertex colours.
bool DrawClippedTexturedTriangle(const OurTexture* texture, const MVertex* a, const MVertex* b, const MVertex* c,
                                 MDrawContext* ctx);
bool DrawClippedLine(const MVertex* a, const MVertex* b, MDrawContext* ctx);
bool DrawClippedPoint(const MVertex* v, MDrawContext* ctx);

// The triangle clipped to 0 <= x <= w - 0.5, 0 <= y <= h - 0.5, as a
// polygon to draw as the fan (0, k - 1, k); 0 when nothing is left or a
// corner is not finite.
inline constexpr int kMaxClippedCorners = 8;
int ClipTriangleToPane(const MVertex& a, const MVertex& b, const MVertex& c, float w, float h, MVertex* out);

// The scan converters, for vertices already inside the pane.
bool SWDrawTriGouraud(const MVertex* a, const MVertex* b, const MVertex* c, MDrawContext* ctx);
bool SWDrawTriTexture(const OurTexture* texture, const MVertex* a, const MVertex* b, const MVertex* c,
                      MDrawContext* ctx);
bool SWDrawLine(const MVertex* a, const MVertex* b, MDrawContext* ctx);
bool SWDrawPoint(const MVertex* v, MDrawContext* ctx);

inline constexpr int kTransparencyMemoryError = 40;
