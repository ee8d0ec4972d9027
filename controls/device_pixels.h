#pragma once

#include <QWidget>

#include <algorithm>
#include <cmath>

// At fractional display scales a logical pixel starts or ends part-way into a
// device pixel, which belongs to its neighbour as well. Whatever must look
// the same at every scale is drawn on device pixels wholly inside its place.
// The small allowance keeps a product such as 3 × 1.1 from falling just past
// a whole pixel.

// The first device pixel wholly inside the logical pixel at `logical`.
inline int firstDevicePixel(int logical, qreal scale)
{
    return int(std::ceil(logical * scale - 1e-6));
}

// The device pixel where the logical pixels before `logical` end: the first
// one that is not wholly theirs.
inline int deviceEdge(int logical, qreal scale)
{
    return int(std::floor(logical * scale + 1e-6));
}

// A logical pixel of a widget in its window: `logical` is the window's
// logical pixel, `device` the first device pixel of the window wholly inside it.
struct WindowPixel
{
    QPoint logical;
    QPoint device;
};

inline WindowPixel windowPixel(const QWidget& widget, QPoint point)
{
    const qreal scale = widget.devicePixelRatioF();
    const QPoint logical = widget.mapTo(widget.window(), point);
    return {logical, QPoint(firstDevicePixel(logical.x(), scale), firstDevicePixel(logical.y(), scale))};
}

// How many device pixels wide a line one logical pixel wide is drawn: as many
// as the scale holds whole (one below 200 %, two from 200 %, ...).
inline int wholeDevicePixels(qreal scale)
{
    return std::max(1, int(std::floor(scale + 1e-6)));
}
