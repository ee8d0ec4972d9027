#include "picture_clip.h"

#include <stdexcept>
#include <string>

QImage PictureClip::GraphicCell(int index) const
{
    if (index < 0 || index >= cols_ * rows_)
        throw std::out_of_range("Bildausschnitt " + std::to_string(index) + " gibt es nicht");
    if (picture_.isNull())
        return {};
    const int cellWidth = picture_.width() / cols_;
    const int cellHeight = picture_.height() / rows_;
    return picture_.copy((index % cols_) * cellWidth, (index / cols_) * cellHeight, cellWidth, cellHeight);
}
