#pragma once

#include <QByteArray>
#include <QImage>
#include <QPicture>
#include <QPointF>
#include <QRect>

#include <memory>

// A picture: its frame, its pixels and/or a recording of drawing commands,
// and the document text it carries so that a pasted picture can be edited
// again.
struct OurPicture {
  QRect frame;
  QImage image;        // null when the picture is only a recording
  QPicture recording;  // null when the picture is only pixels
  QByteArray documentText;
  // Memory the picture's data was counted against; released with it.
  std::shared_ptr<void> countedStorage;
};

// Renders the picture with its frame's top-left at `topLeft` of the target
// image, scaled by `scale`.
void RenderPicture(const OurPicture& picture, QImage& target, QPointF topLeft, double scale);
