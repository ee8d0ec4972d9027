// The slider's value is the code of the character being edited: the glyph's
// index in the font, the cell of the reference bitmap, and the Windows
// character of the same number.

#include "frmmain.h"

#include "ansi_charset.h"
#include "picture_box.h"
#include "slider.h"

#include <QLabel>
#include <QLineEdit>

namespace {

// " (0x41)": the code in upper-case hexadecimal, without leading zeros.
QString hexSuffix(int code)
{
    return QStringLiteral(" (0x") + QString::number(code, 16).toUpper() + QLatin1Char(')');
}

// "65 (0x41)", "10 (0xA)", and " (0x0)" for 0, whose decimal part stays empty.
QString codeCaption(int code)
{
    return (code == 0 ? QString() : QString::number(code)) + hexSuffix(code);
}

// What assistive technology reads for a code: "65 (0x41) A". The character
// is left out where it would be silent: control characters and blanks.
QString spokenCode(int code)
{
    const QChar character = ansiCharacter(std::uint8_t(code)).at(0);
    QString spoken = QString::number(code) + hexSuffix(code);
    if (character.isPrint() && !character.isSpace())
        spoken += QLatin1Char(' ') + character;
    return spoken;
}

// The text box cannot show the character of code 0, so it reads empty then.
QString windowsCharText(int code)
{
    return code == 0 ? QString() : ansiCharacter(std::uint8_t(code));
}

}  // namespace

// Shows the slider's character everywhere; stores nothing.
void frmMain::sldSelectCharacter_Change()
{
    const int code = sldSelectCharacter->value();
    lblCurrentChar->setText(codeCaption(code));
    sldSelectCharacter->setAccessibleName(spokenCode(code));
    pctPreview->setAccessibleName(QStringLiteral("Vorschau des Zeichens %1").arg(code));
    setCurrentChar(ansiCharacter(std::uint8_t(code)));
    txtWindowsChar->setText(windowsCharText(code));
    pctPreview_Click();
}

// The person chose a character: the grid still shows the one being left, and
// goes into its glyph before the new one is shown.
void frmMain::sldSelectCharacter_Click()
{
    storeCurrentChar(txtWindowsChar->text());
    sldSelectCharacter_Change();
}

void frmMain::txtWindowsChar_Change()
{
    paintText();
}
