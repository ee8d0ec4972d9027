#include "modcode.h"

#include <limits>
#include <stdexcept>

namespace {

std::int16_t checkedGlyphIndex(std::int16_t index)
{
    if (index < 0 || index > modCode::lastGlyphIndex)
        throw std::out_of_range("Index außerhalb des gültigen Bereichs: Glyphenbyte " + std::to_string(index));
    return index;
}

}  // namespace

void modCode::setModified(TruthValue flag)
{
    dataModified = flag;
}

TruthValue modCode::isModified() const
{
    return dataModified;
}

std::uint8_t modCode::getGlyphByte(std::int16_t index) const
{
    return glyphBuffer[checkedGlyphIndex(index)];
}

void modCode::setGlyphByte(std::int16_t index, std::uint8_t value)
{
    glyphBuffer[checkedGlyphIndex(index)] = value;
}

void modCode::unpackFontTable()
{
    for (int code = 0; code < glyphCount; ++code) {
        for (int row = 0; row < rowsPerGlyph; ++row) {
            std::uint8_t value = 0;
            if (row < charHeight) {
                const std::size_t tableIndex = std::size_t(code) * charHeight + row;
                if (tableIndex >= fontTable.size())
                    throw std::out_of_range("Index außerhalb des gültigen Bereichs: Fonttabelle "
                                            + std::to_string(tableIndex) + " bei "
                                            + std::to_string(fontTable.size()) + " Bytes");
                value = fontTable[tableIndex];
            }
            glyphBuffer[glyphByteIndex(code, row)] = value;
        }
    }
}

void modCode::packFontTable()
{
    // The table size has always been a signed 16-bit number: 127 rows is the
    // most that fits, and a larger height must fail before the table changes.
    const int tableSize = int(charHeight) * glyphCount;
    if (tableSize > std::numeric_limits<std::int16_t>::max())
        throw std::overflow_error("Überlauf: " + std::to_string(charHeight) + " Zeilen passen nicht in eine Fonttabelle");

    fontTable.assign(std::size_t(tableSize), 0);
    for (int code = 0; code < glyphCount; ++code)
        for (int row = 0; row < charHeight; ++row)
            fontTable[std::size_t(code) * charHeight + row] = getGlyphByte(glyphByteIndex(code, row));
}
