#pragma once

#include <QImage>

// Cuts one picture into a grid of equal cells, numbered row by row from 0.
class PictureClip
{
public:
    void setPicture(const QImage& picture) { picture_ = picture; }
    bool hasPicture() const { return !picture_.isNull(); }
    void setCols(int cols) { cols_ = cols; }
    void setRows(int rows) { rows_ = rows; }

    // A copy of cell `index`; throws std::out_of_range when there is no such
    // cell. Without a picture every cell is a null image.
    QImage GraphicCell(int index) const;

private:
    QImage picture_;
    int cols_ = 1;
    int rows_ = 1;
};
