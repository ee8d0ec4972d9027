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

// The grid's design arrangement in twips from the frame's corner: buttons 255
// square at a pitch of 240, so that neighbours overlap and the grid shows no
// gaps. The frame is 855 high around one row and grows by a pitch a row.
constexpr int gridLeft = 120;
constexpr int gridTop = 420;
constexpr int cellPitch = 240;
constexpr int cellSide = 255;
constexpr int frameHeightOfOneRow = 855;

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
    if (selectedNumber(cboZeichenbreite) == modCode::pixelsPerRow) {
        font.charWidth = modCode::pixelsPerRow;
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
    layOutPixelGrid(height);

    // A row that shows another glyph's pixels, left from while it was
    // hidden, must not appear as part of this glyph, nor be stored into it.
    for (int row = font.charHeight; row < height; ++row)
        if (!rowShowsCurrentGlyph[row])
            paintGridRow(row);

    font.charHeight = std::uint8_t(height);
    pctPreview_Click();
    font.setModified(truthTrue);
}

// Shows the first `shownRows` rows of buttons in a frame just high enough for
// them. The tab order stays row by row, as the buttons were created.
void frmMain::layOutPixelGrid(int shownRows)
{
    fraZeichendef->resize(fraZeichendef->width(), pixelsFromTwips(frameHeightOfOneRow + (shownRows - 1) * cellPitch));
    for (int index = 0; index < int(cmdPixel.size()); ++index) {
        const int row = index / modCode::pixelsPerRow;
        const int column = index % modCode::pixelsPerRow;
        cmdPixel[index]->setGeometry(
            twipsRect(gridLeft + cellPitch * column, gridTop + cellPitch * row, cellSide, cellSide));
        cmdPixel[index]->setVisible(row < shownRows);
    }
}
