#pragma once

#include <QRect>

#include <cstdint>
#include <functional>

class QPainter;
class QRegion;
class QWidget;
struct GLContextRecord;

// On-screen OpenGL: a compatibility-profile context drawing, as the
// surfaceless ones do (platform/EGLContexts.h), into framebuffers of its
// own, and showing each finished picture in a native window of its own over
// part of a host widget. That window is a child of the host's top-level,
// which it leaves alone: the top-level keeps its native window and paints
// as before, and the window system shows the surface over it. The surface
// lets the mouse through to its host and never takes the keyboard. Its
// contexts answer the calls of the surfaceless ones; they live on the
// interface thread only.

// Probed once, before any surface is made: whether the platform can show
// OpenGL on screen at all (not under the offscreen platform, not without a
// display, not without a widget application).
bool OurOnscreenGLAvailable();

// A context of a picture of the size over the host, hidden until first
// placed; null when the platform has none, the host is not shown, or the
// format or the framebuffers are refused. samples 0 asks for a
// single-sample picture.
GLContextRecord* OurNewOnscreenGLContext(QWidget* host, int32_t width, int32_t height, int32_t samples);
bool OurIsOnscreenGLContext(const GLContextRecord* context);
// The height of the host the surface lies in; 0 when it is gone.
int32_t OurOnscreenGLHostHeight(const GLContextRecord* context);
// Places and shows the surface at a rectangle given as x, y (from the host's
// bottom), width, height, unless it is shown there; a new size takes new
// framebuffers, their picture to be drawn. False when the surface is gone
// or the framebuffers refused.
bool OurPlaceOnscreenGLSurface(GLContextRecord* context, const int32_t bufferRect[4]);
// How many times the surface was moved, resized or shown again, for tests.
int64_t OurOnscreenGLPlacements(const GLContextRecord* context);
// Shows the picture drawn, with the host's overlay over it. The window
// system asks again whenever the surface is uncovered; nothing of the
// host is painted either way.
void OurSwapOnscreenGLBuffers(GLContextRecord* context);
// How many times the surface showed a picture, for tests.
int64_t OurOnscreenGLPresentations(const GLContextRecord* context);
void OurHideOnscreenGLSurface(GLContextRecord* context);

// Hides the host's surfaces that do not lie within the region, where the
// views drawing on screen are: a view's next frame shows its surface again.
void OurHideOnscreenGLSurfacesOutside(QWidget* host, const QRegion& region);
// What the host draws over its surfaces, in the host's coordinates: the
// rectangle it covers (empty: nothing), and the drawing.
struct OnscreenGLOverlay {
  std::function<QRect()> area;
  std::function<void(QPainter&)> draw;
};
void OurSetOnscreenGLOverlay(QWidget* host, OnscreenGLOverlay overlay);

// Contexts made and not yet disposed.
int32_t OurLiveOnscreenGLContexts();
