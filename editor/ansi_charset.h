#pragma once

#include <QString>

#include <cstdint>

// The Windows character set (code page 1252) that the code of a glyph stands
// for beside the device character. Codes without a character of their own in
// that set (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control character of the
// same number, as Windows maps them.

// The one-character string of `code`.
QString ansiCharacter(std::uint8_t code);

// The code of the first character of `text`; throws std::range_error for a
// character that code page 1252 does not hold. `text` must not be empty.
std::uint8_t ansiCode(const QString& text);
