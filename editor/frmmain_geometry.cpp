// The font's geometry: the width is fixed at 8 pixels, the height of 1 to 32
// rows decides how many grid rows are shown, edited, previewed and saved. The
// glyphs keep all 32 rows whatever the height.

#include "frmmain.h"

#include "combo_box.h"
#include "frame.h"
#include "pixel_button.h"
#include "twips.h"
#include "user_dialogs.h"

namespace {

std::int16_t selectedNumber(const ComboBox* list)
{
    return std::int16_t(list->List(list->listIndex()).toInt());
}

}  // namespace

void frmMain::cboZeichenbreite_Click()
{
    cboZeichenbreite_Change();
}

void frmMain::cboZeichenbreite_Change()
{
    if (selectedNumber(cboZeichenbreite) == 8) {
        font.charWidth = 8;
        return;
    }
    dialogs->messageBox(QStringLiteral("Als Zeichenbreite ist momentan nur 8 zulässig!"), UserDialogs::Buttons::Ok,
                        UserDialogs::Icon::None, programTitle);
}

void frmMain::cboZeichenhoehe_Click()
{
    cboZeichenhoehe_Change();
}

// Lays the grid out for the chosen height and marks the font modified, also
// when the height was already in force. The buttons' colours stay as they
// are, so rows hidden and shown again without another glyph in between come
// back with their unstored edits.
void frmMain::cboZeichenhoehe_Change()
{
    const int height = selectedNumber(cboZeichenhoehe);
    fraZeichendef->resize(fraZeichendef->width(), pixelsFromTwips((height - 1) * cellPitch + frameBaseHeight));
    // The tab order stays row by row, as the buttons were created.
    for (int row = 0; row < modCode::rowsPerGlyph; ++row) {
        for (int column = 0; column < 8; ++column) {
            PixelButton* pixel = cmdPixel[8 * row + column];
            pixel->move(pixelsFromTwips(cellPitch * column + gridLeft), pixelsFromTwips(cellPitch * row + gridTop));
            pixel->setVisible(row < height);
        }
    }

    // A row that shows another glyph's pixels, left from while it was
    // hidden, must not appear as part of this glyph, nor be stored into it.
    for (int row = font.charHeight; row < height; ++row)
        if (!rowShowsCurrentGlyph[row])
            paintGridRow(row);

    font.charHeight = std::uint8_t(height);
    pctPreview_Click();
    font.setModified(truthTrue);
}
