#pragma once

#include <QImage>

// The image as a PNG file; false when it could not be written.
bool WritePng(const QImage& image, const char* path);
