// The pixel grid is the working copy of one glyph: the button of a row and
// column shows the pixel of that row and column, black for inked and white for
// blank. Edits live in the grid until storeCurrentChar writes them back.

#include "frmmain.h"

#include "ansi_charset.h"
#include "pixel_button.h"

#include <stdexcept>
#include <string>

namespace {

const QColor inked = Qt::black;
const QColor blank = Qt::white;

}  // namespace

// Paints rows 0 to charHeight − 1 of the glyph of `text` into the grid.
void frmMain::setCurrentChar(const QString& text)
{
    currentCode = ansiCode(text);
    const int height = font.charHeight;
    for (int row = 0; row < height; ++row)
        paintGridRow(row);
    // The hidden rows still show whatever was there before, not this glyph.
    for (int row = height; row < modCode::rowsPerGlyph; ++row)
        rowShowsCurrentGlyph[row] = false;
}

void frmMain::paintGridRow(int row)
{
    const std::uint8_t rowByte = font.getGlyphByte(modCode::glyphByteIndex(currentCode, row));
    for (int column = 0; column < font.charWidth; ++column)
        gridPixel(row, column)->setBackColor((rowByte & modCode::columnBit(column)) ? inked : blank);
    rowShowsCurrentGlyph[row] = true;
}

// Writes rows 0 to charHeight − 1 of the grid into the glyph of `text`; an
// empty text stands for code 0. Only exactly black counts as inked.
void frmMain::storeCurrentChar(const QString& text)
{
    currentCode = text.isEmpty() ? 0 : ansiCode(text);
    for (int row = 0; row < font.charHeight; ++row) {
        std::uint8_t rowByte = 0;
        for (int column = 0; column < font.charWidth; ++column)
            if (gridPixel(row, column)->backColor() == inked)
                rowByte |= modCode::columnBit(column);
        font.setGlyphByte(modCode::glyphByteIndex(currentCode, row), rowByte);
    }
}

// The button of a row and column; a geometry beyond the grid is an error.
PixelButton* frmMain::gridPixel(int row, int column) const
{
    const int index = modCode::pixelsPerRow * row + column;
    if (index < 0 || index >= int(cmdPixel.size()))
        throw std::out_of_range("Index außerhalb des gültigen Bereichs: cmdPixel(" + std::to_string(index) + ")");
    return cmdPixel[index];
}

void frmMain::cmdPixel_Click(int Index)
{
    PixelButton* pixel = cmdPixel.at(Index);
    pixel->setBackColor(QColor::fromRgb(pixel->backColor().rgb() ^ 0xFFFFFF));
    pctPreview_Click();
    font.setModified(truthTrue);
}

// The arrow keys move the focus across the grid: to the pixel above or
// below in the same column, or beside in the same row, over the rows the
// height shows; at an edge the focus stays.
void frmMain::cmdPixel_Arrow(int Index, int rowStep, int columnStep)
{
    const int row = Index / modCode::pixelsPerRow + rowStep;
    const int column = Index % modCode::pixelsPerRow + columnStep;
    if (row < 0 || row >= font.charHeight || column < 0 || column >= font.charWidth)
        return;
    gridPixel(row, column)->setFocus(Qt::OtherFocusReason);
}
