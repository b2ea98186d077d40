#pragma once

#include <cstdint>
#include <functional>

class QPainter;
class QRegion;
class QWidget;
struct OurEGLContext;

// On-screen OpenGL: a compatibility-profile context drawing into a surface
// that lies over part of a host widget, composited by the window system with
// the rest of the window. The surface lets the mouse through to its host.
// Its contexts are of the type the surfaceless ones have
// (platform/EGLContexts.h) and answer the same calls; they live on the
// interface thread only.

// Probed once, before any surface is made: whether the platform can show
// OpenGL on screen at all (not under the offscreen platform, not without a
// display, not without a widget application).
bool OurOnscreenGLAvailable();

// A context over the host, hidden until first placed; null when the platform
// has none, the host is not shown or the format is refused. samples 0 asks
// for a single-sample surface.
OurEGLContext* OurNewOnscreenGLContext(QWidget* host, int32_t samples);
bool OurIsOnscreenGLContext(const OurEGLContext* context);
// The height of the host the surface lies in; 0 when it is gone.
int32_t OurOnscreenGLHostHeight(const OurEGLContext* context);
// Places and shows the surface at a rectangle given as x, y (from the host's
// bottom), width, height. False when the surface is gone.
bool OurPlaceOnscreenGLSurface(OurEGLContext* context, const int32_t bufferRect[4]);
// How many times the surface was placed, for tests.
int64_t OurOnscreenGLPlacements(const OurEGLContext* context);
// Shows the picture drawn since the last swap.
void OurSwapOnscreenGLBuffers(OurEGLContext* context);
void OurHideOnscreenGLSurface(OurEGLContext* context);

// Hides the host's surfaces that do not lie within the region, where the
// views drawing on screen are: a view's next frame shows its surface again.
void OurHideOnscreenGLSurfacesOutside(QWidget* host, const QRegion& region);
// What the host draws over its surfaces, in the host's coordinates.
using OnscreenGLOverlay = std::function<void(QPainter&)>;
void OurSetOnscreenGLOverlay(QWidget* host, OnscreenGLOverlay overlay);
void OurUpdateOnscreenGLOverlays(QWidget* host);

// Contexts made and not yet disposed.
int32_t OurLiveOnscreenGLContexts();
