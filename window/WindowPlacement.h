#pragma once

#include <QRect>

// A window rectangle read from a file, made to fit the screen area: no
// side larger than the area's, the whole window on it (its origin moved in
// as far as needed). An empty area leaves the rectangle as it is.
QRect FitWindowToScreen(const QRect& wanted, const QRect& screen);

// Where windows may stand: the primary screen's area less its panels;
// empty when there is no screen.
QRect AvailableScreenArea();
