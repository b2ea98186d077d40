#include "platform/GuiApplication.h"

#include <QGuiApplication>

#include <cstdlib>
#include <mutex>

bool EnsureGuiApplication() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "Zentrolab";
    static char* argv[] = {name, nullptr};
    // Measuring and drawing offscreen needs no display; without one, Qt
    // would abort looking for it.
    if (!getenv("DISPLAY") && !getenv("WAYLAND_DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    new QGuiApplication(argc, argv);  // lives as long as the process
  });
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZL_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(ZL_ADDRESS_SANITIZER)
// Fontconfig keeps the patterns of added font files, Mesa's OpenGL drivers
// their allocations, and the session bus Qt opens on a display its messages,
// until the process ends; a leak is excused only when those libraries made
// it.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libdbus-1.so\n"
         "leak:libGLX_mesa.so\n"
         "leak:libEGL_mesa.so\n"
         "leak:swrast_dri.so\n"
         "leak:libglapi.so\n"
         "leak:libGLdispatch.so\n"
         "leak:libLLVM\n";
}

// The runtime's dynamic-TLS interceptor can take a block that Qt's plugins
// leave behind for a header it no longer has, and the leak check at exit
// then crashes reading it; the check scans TLS without the interceptor.
// Weak: a test program that sets its own options links this file too.
extern "C" __attribute__((weak)) const char* __asan_default_options() { return "intercept_tls_get_addr=0"; }
#endif
