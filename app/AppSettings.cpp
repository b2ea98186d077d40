#include "app/AppSettings.h"

#include <algorithm>

#include <QSettings>
#include <QStringList>
#include <QVariant>

#include "matheditor/MathSizeTable.h"
#include "renderer/RendererGlobals.h"

namespace {

// The integer under key when it is one and lies in [low, high].
bool ReadInteger(const QSettings& settings, const char* key, int32_t low, int32_t high, int32_t* out) {
  bool ok = false;
  const int value = settings.value(key).toInt(&ok);
  if (!ok || value < low || value > high) return false;
  *out = value;
  return true;
}

}  // namespace

NewDocumentSettings ReadNewDocumentSettings(const QSettings& settings) {
  NewDocumentSettings s;
  ReadInteger(settings, "SignificantDigits", 1, 17, &s.significantDigits);
  ReadInteger(settings, "FontSize", 1, 255, &s.fontSize);
  const QString name = settings.value("FontName").toString().trimmed().remove('"');
  if (!name.isEmpty() && name.size() < 256) s.fontName = name.toStdString();
  ReadInteger(settings, "Background", 0, 255, &s.background);
  // The key is spelled as the preferences have always had it.
  const QStringList rgb = settings.value("BackroundColor").toStringList();
  if (rgb.size() == 3) {
    uint8_t color[3];
    bool all = true;
    for (int i = 0; i < 3 && all; ++i) {
      bool ok = false;
      const int c = rgb[i].trimmed().toInt(&ok);
      all = ok && c >= 0 && c <= 255;
      color[i] = static_cast<uint8_t>(c);
    }
    if (all) std::copy(color, color + 3, s.backgroundColor);
  }
  const QVariant right = settings.value("DrawGraphsToRight");
  if (right.isValid()) s.drawGraphsToRight = right.toBool();
  return s;
}

void ApplyHiddenMathSettings(const QSettings& settings) {
  int32_t value = 0;
  if (ReadInteger(settings, "math_fontsize_minimum", 1, 49, &value)) gEquationFontMinSize = static_cast<float>(value);
  if (ReadInteger(settings, "math_superscript_size_percentage", 41, 100, &value))
    gEquationFontsizeSuperscriptFactor = static_cast<float>(value) / 100.0f;
}

void ApplyHiddenRendererSettings(const QSettings& settings) {
  // In reading order: "enable_fragment_programs" overrides "disable_...".
  const struct {
    const char* key;
    int32_t* global;
    int32_t value;
  } switches[] = {{"disable_multithreaded_opengl", &gDisableMultiThreadedOpenGL, 1},
                  {"disable_vertex_buffer_objects", &gDisableVertexBufferObjectsPreference, 1},
                  {"disable_antialiasing", &gDisableAntialiasingPreference, 1},
                  {"disable_fragment_programs", &gDisableFragmentProgramPreference, 1},
                  {"enable_fragment_programs", &gDisableFragmentProgramPreference, 0},
                  {"r200_fsaa_linewidth_bug_is_fixed", &gR200MultisampleDriverBugFixed, 1},
                  {"geforce_fsaa_linewidth_bug_is_fixed", &gGeForceMultisampleDriverBugFixed, 1},
                  {"enable_vertex_buffer_objects", &gEnableVertexBufferObjectsPreference, 1},
                  {"disable_gl_multisample_works", &gATIMultisampleDisableBugFixed, 1},
                  {"use_software_renderer", &gHasOpenGL, 0}};
  for (const auto& s : switches) {
    int32_t value = 0;
    if (ReadInteger(settings, s.key, 1, 1, &value)) *s.global = s.value;
  }
}

std::string NewDocumentText(const NewDocumentSettings& s) {
  const auto number = [](int32_t v) { return std::to_string(v); };
  std::string text = "Zentrolabworksheet 4;\nTextEncoding UTF8;\n";
  text += "SignificantDigits " + number(s.significantDigits) + ";\n";
  text += "FontName \"" + s.fontName + "\";\n";
  text += "FontSizes " + number(s.fontSize) + ";\n";
  text += "BackgroundType " + number(s.background) + ";\n";
  text += "BackgroundColor " + number(s.backgroundColor[0]) + " " + number(s.backgroundColor[1]) + " " +
          number(s.backgroundColor[2]) + ";\n";
  text += std::string("StackPanes ") + (s.drawGraphsToRight ? "0" : "1") + ";\n";
  text += "Expr ?;\n";
  return text;
}
