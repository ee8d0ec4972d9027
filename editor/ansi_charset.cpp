#include "ansi_charset.h"

#include <array>
#include <stdexcept>

namespace {

// Unicode of the codes 0x80 to 0x9F; the rest of the set is Latin-1.
constexpr std::array<char16_t, 32> windowsRange80To9F = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool inWindowsRange(std::uint8_t code)
{
    return code >= 0x80 && code <= 0x9F;
}

}  // namespace

QString ansiCharacter(std::uint8_t code)
{
    const char16_t unicode = inWindowsRange(code) ? windowsRange80To9F[code - 0x80] : char16_t(code);
    return QString(QChar(unicode));
}

std::uint8_t ansiCode(const QString& text)
{
    const char16_t unicode = text.at(0).unicode();
    for (std::size_t i = 0; i < windowsRange80To9F.size(); ++i)
        if (windowsRange80To9F[i] == unicode)
            return std::uint8_t(0x80 + i);
    if (unicode > 0xFF || inWindowsRange(std::uint8_t(unicode)))
        throw std::range_error("Das Zeichen U+" + QString::number(unicode, 16).toUpper().toStdString()
                               + " hat keinen ANSI-Code");
    return std::uint8_t(unicode);
}
