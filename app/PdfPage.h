#pragma once

#include <QByteArray>
#include <QSize>

#include <functional>

class QPainter;

// A PDF of one page of the size, one point a pixel, with no margins; draw
// paints it. Images are stored without loss, each pixel as it was, where
// the painter would make them JPEGs. Empty when painting could not begin
// or end.
QByteArray OnePagePdf(QSize size, const std::function<void(QPainter&)>& draw);
