#pragma once

#include <QString>
#include <QTextFormat>

// The font name a text was given, kept in its character format beside the
// family that draws it, so that the text is written back with the name it
// came with.
inline constexpr int kGivenFontNameProperty = QTextFormat::UserProperty + 1;

// The given name, or the drawing family when none was given.
inline QString GivenFontName(const QTextCharFormat& format) {
  const QVariant given = format.property(kGivenFontNameProperty);
  return given.isValid() ? given.toString() : format.font().family();
}
