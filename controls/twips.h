#pragma once

#include <QRect>

// Window geometry is laid out in twips, 1/1440 inch, as the design gives it.
// One logical pixel is 15 twips; Qt's high-DPI scaling does the rest.
inline constexpr int twipsPerPixel = 15;

constexpr int pixelsFromTwips(int twips)
{
    return twips / twipsPerPixel;
}

constexpr int twipsFromPixels(int pixels)
{
    return pixels * twipsPerPixel;
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return {pixelsFromTwips(left), pixelsFromTwips(top), pixelsFromTwips(width), pixelsFromTwips(height)};
}
