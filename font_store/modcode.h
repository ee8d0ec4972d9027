#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

class UserDialogs;

// A 16-bit truth value, as the font store keeps its flag: false is 0, true is
// -1, and any other non-zero value counts as true.
using TruthValue = std::int16_t;
inline constexpr TruthValue truthFalse = 0;
inline constexpr TruthValue truthTrue = -1;

// The one font the program edits: every glyph, its packed file image, the
// geometry, the file it came from and whether it has unsaved changes.
//
// Glyph row byte: each row of a glyph is one byte, bit 7 the leftmost pixel and
// bit 0 the rightmost, a set bit an inked pixel. Rows run from the top down:
//   X......X -> 0x81
//   ..XXXX.. -> 0x3C
//
// The state is public: the editor and the overview read and write it directly,
// through the accessors only for glyph bytes and the flag.
class modCode
{
public:
    static constexpr int glyphCount = 256;
    static constexpr int rowsPerGlyph = 32;  // room per glyph in glyphBuffer
    static constexpr int pixelsPerRow = 8;   // one byte per row: the only width a glyph has
    static constexpr int maxCharHeight = 32;
    static constexpr int lastGlyphIndex = glyphCount * rowsPerGlyph;  // 8192, one past the last row

    // Row `row` of the glyph of code `code` is element code * 32 + row, its
    // glyphByteIndex. Rows at or beyond charHeight are kept while the height
    // changes; only an unpack clears them.
    std::array<std::uint8_t, lastGlyphIndex + 1> glyphBuffer{};
    static constexpr std::int16_t glyphByteIndex(int code, int row)
    {
        return std::int16_t(code * rowsPerGlyph + row);
    }
    // The bit of column `column` in a glyph row byte: 128 >> column.
    static constexpr std::uint8_t columnBit(int column)
    {
        return std::uint8_t(0x80 >> column);
    }

    // The image of a font file: row `row` of glyph `code` is element
    // code * charHeight + row. Empty until the first pack or load.
    std::vector<std::uint8_t> fontTable;

    std::uint8_t charHeight = 0;  // rows per glyph in use, 1 to 32 once the editor has started
    std::uint8_t charWidth = 0;   // pixels per row; pixelsPerRow once the editor has started
    QString fontFileName;         // full path of the font file last loaded
    TruthValue dataModified = truthFalse;

    void setModified(TruthValue flag);
    TruthValue isModified() const;

    // Both throw std::out_of_range for an index outside 0 to 8192, and then
    // read or store nothing.
    std::uint8_t getGlyphByte(std::int16_t index) const;
    void setGlyphByte(std::int16_t index, std::uint8_t value);

    // Copies fontTable into glyphBuffer for the current charHeight and clears
    // rows charHeight to 31 of every glyph. Throws std::out_of_range at the
    // first row that lies outside fontTable; the rows before it are replaced.
    void unpackFontTable();

    // Re-creates fontTable with charHeight * 256 bytes from glyphBuffer. Throws
    // std::overflow_error for a height of 128 or more, before anything changes.
    void packFontTable();

    // Asks for a file name and writes fontTable there, keeping what an old
    // file of that name is. Returns true when the file was written; false when
    // the person cancelled or the write failed (the failure has been reported,
    // and an old file is intact unless the message says otherwise).
    bool saveFontFile(UserDialogs& dialogs);

    // Asks for an existing font file and reads it into fontTable. Returns its
    // height, 1 to 32, or 0 when the person cancelled or the file could not be
    // used (reported). fontFileName becomes the path only when the load succeeds.
    std::int16_t loadFontFile(UserDialogs& dialogs);
};
