#include "platform/FontFaces.h"

#include "platform/CheckedConvert.h"
#include "platform/GuiApplication.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QRawFont>

#include <algorithm>
#include <array>

namespace {

constexpr const char* kStixFolder = "/usr/share/fonts/opentype/stix/";
constexpr const char* kDejaVuFolder = "/usr/share/fonts/truetype/dejavu/";

struct FamilyEntry {
  const char* family;
  const char* folder;
  std::array<const char*, 4> files;  // plain, bold, italic, bold italic; null = synthesised
  std::array<const char*, 6> names;  // what callers may ask for; null ends the list
};

constexpr int kProbeSize = 2048;
constexpr uint32_t kSerif = 0;
constexpr uint32_t kSans = 1;

const std::array<FamilyEntry, 3> kFamilies = {{
    {"STIXGeneral",
     kStixFolder,
     {"STIXGeneral-Regular.otf", "STIXGeneral-Bold.otf", "STIXGeneral-Italic.otf", "STIXGeneral-BoldItalic.otf"},
     {"STIXGeneral", "Times", "Times New Roman", "Times-Roman", "Symbol", "serif"}},
    {"DejaVu Sans",
     kDejaVuFolder,
     {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", nullptr, nullptr},
     {"DejaVu Sans", "Lucida Grande", "Helvetica", "Geneva", "Arial", "sans-serif"}},
    {"DejaVu Sans Mono",
     kDejaVuFolder,
     {"DejaVuSansMono.ttf", "DejaVuSansMono-Bold.ttf", nullptr, nullptr},
     {"DejaVu Sans Mono", "Courier", "Courier New", "Monaco", "monospace", nullptr}},
}};

constexpr size_t kFaceCount = kFamilies.size() * 4;

struct FaceTable {
  std::array<bool, kFamilies.size()> installed{};
  std::array<FontFace, kFaceCount> faces;
};

bool LoadFile(const FamilyEntry& entry, const char* file) {
  if (file == nullptr) return true;
  const QString path = QString::fromUtf8(entry.folder) + QString::fromUtf8(file);
  if (!QFile::exists(path)) return false;
  const int id = QFontDatabase::addApplicationFont(path);
  return id >= 0 && QFontDatabase::applicationFontFamilies(id).contains(QString::fromUtf8(entry.family));
}

FontFace MakeFace(uint32_t family, bool bold, bool italic) {
  QFont font;
  QStringList families{QString::fromUtf8(kFamilies[family].family)};
  for (uint32_t fallback : {kSans, kSerif})
    if (fallback != family) families << QString::fromUtf8(kFamilies[fallback].family);
  font.setFamilies(families);
  font.setBold(bold);
  font.setItalic(italic);
  font.setKerning(true);
  font.setHintingPreference(QFont::PreferNoHinting);
  // At a pixel size of one em unit per pixel every advance is a whole
  // number of pixels, so hinting and fixed-point rounding cannot move it.
  font.setPixelSize(kProbeSize);
  const QRawFont raw = QRawFont::fromFont(font);
  const int unitsPerEm = raw.isValid() ? DoubleToInt32(raw.unitsPerEm()) : kProbeSize;
  font.setPixelSize(unitsPerEm > 0 ? unitsPerEm : kProbeSize);
  const QFontMetricsF metrics(font);
  return {font, font.pixelSize(), metrics.ascent(), metrics.descent(), metrics.leading()};
}

}  // namespace

static const FaceTable& Faces() {
  static const FaceTable table = [] {
    FaceTable made;
    if (!EnsureGuiApplication()) return made;
    for (uint32_t family = 0; family < kFamilies.size(); ++family) {
      const FamilyEntry& entry = kFamilies[family];
      bool loaded = LoadFile(entry, entry.files[0]);
      for (size_t style = 1; style < 4; ++style) LoadFile(entry, entry.files[style]);
      for (uint32_t style = 0; loaded && style < 4; ++style) {
        FontFace& face = made.faces[family * 4 + style];
        face = MakeFace(family, style & 1, style & 2);
        loaded = QFontInfo(face.font).family() == QString::fromUtf8(entry.family);
      }
      made.installed[family] = loaded;
    }
    return made;
  }();
  return table;
}

namespace {

bool IsAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}

}  // namespace

uint32_t FindFontFamily(std::string_view name) {
  // Every text measure asks by name: plain ASCII names skip the Unicode
  // comparison, which folds them to the same answer.
  const bool ascii = IsAscii(name);
  QString wanted;
  const auto unicodeEqual = [&](const char* known) {
    if (wanted.isNull()) wanted = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    return wanted.compare(QString::fromUtf8(known), Qt::CaseInsensitive) == 0;
  };
  for (uint32_t family = 0; family < kFamilies.size(); ++family) {
    for (const char* known : kFamilies[family].names) {
      if (known == nullptr) break;
      const bool same = ascii && IsAscii(known) ? EqualIgnoringAsciiCase(name, known) : unicodeEqual(known);
      if (same) return family;
    }
  }
  return kNoFontFace;
}

uint32_t FontFaceId(uint32_t family, bool bold, bool italic) {
  if (family >= kFamilies.size()) return kNoFontFace;
  return family * 4 + (bold ? 1 : 0) + (italic ? 2 : 0);
}

const FontFace* GetFontFace(uint32_t faceId) {
  if (faceId >= kFaceCount || !Faces().installed[faceId / 4]) return nullptr;
  return &Faces().faces[faceId];
}

uint32_t FallbackFontFace() { return FontFaceId(kSans, false, false); }

QString FontFamilyName(uint32_t family) {
  return family < kFamilies.size() ? QString::fromUtf8(kFamilies[family].family) : QString();
}
