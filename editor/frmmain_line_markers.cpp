// The baseline and the guide line mark one row of the grid with a coloured
// stub on either side. They are drawing aids only: not part of the font, and
// a later height change or load leaves them where they are.

#include "frmmain.h"

#include "combo_box.h"
#include "pixel_button.h"

#include <QLabel>

void frmMain::cboBasislinie_Click()
{
    cboBasislinie_Change();
}

void frmMain::cboBasislinie_Change()
{
    applyMarkerRule(cboBasislinie, Label3, shpBasislinie);
}

void frmMain::cboHilfslinie_Click()
{
    cboHilfslinie_Change();
}

void frmMain::cboHilfslinie_Change()
{
    applyMarkerRule(cboHilfslinie, Label4, shpHilfslinie);
}

// Entry n (1 to 32) marks grid row n, counted from 1 at the top. "<keine>",
// or a row beyond the height, hides the marker and puts the list back on
// "<keine>"; that reset runs this rule once more, which then ends. A shown
// marker is heard by its list's caption and its row: "Basislinie, Zeile 7".
void frmMain::applyMarkerRule(ComboBox* rowList, const QLabel* caption, QWidget* marker)
{
    bool isNumber = false;
    int row = rowList->List(rowList->listIndex()).toShort(&isNumber);
    if (!isNumber)
        row = 0;

    if (row > font.charHeight || row < 1) {
        marker->setVisible(false);
        rowList->setListIndex(0);
        return;
    }
    marker->move(marker->x(), gridPixel(row - 1, 0)->y());
    marker->setAccessibleName(QStringLiteral("%1, Zeile %2").arg(caption->text()).arg(row));
    marker->setVisible(true);
}
