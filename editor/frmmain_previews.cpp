// The two small pictures beside the grid. Neither keeps a picture of its own:
// each is drawn anew whenever it must be shown, from the grid and from the
// reference bitmap.

#include "frmmain.h"

#include "ansi_charset.h"
#include "picture_box.h"
#include "pixel_button.h"
#include "twips.h"

#include <QLineEdit>
#include <QPainter>

namespace {

// The reference cell of the text box's character; an empty text shows the
// cell of the blank.
int referenceCell(const QString& windowsChar)
{
    return ansiCode(windowsChar + QLatin1Char(' '));
}

}  // namespace

// The reference glyph follows the text box.
void frmMain::paintText()
{
    Picture1->setAccessibleName(PictureClip1.hasPicture()
                                    ? QStringLiteral("Referenzzeichen %1").arg(referenceCell(txtWindowsChar->text()))
                                    : QStringLiteral("Kein Referenzzeichen"));
    Picture1->update();
}

// The reference cell at its own size, two pixels from the left edge. Without
// the reference bitmap the box stays empty.
void frmMain::Picture1_Paint(QPainter& painter)
{
    if (!PictureClip1.hasPicture())
        return;
    const QImage glyph = PictureClip1.GraphicCell(referenceCell(txtWindowsChar->text()));
    Picture1->drawGlyph(painter, QPoint(pixelsFromTwips(30), 0), glyph);
}

void frmMain::pctPreview_Click()
{
    pctPreview->update();
}

// The glyph at real size from the grid's colours, with a one-pixel margin.
// All 32 rows are drawn: hidden rows blend into the button face, except that
// their black pixels still show.
void frmMain::pctPreview_Paint(QPainter& painter)
{
    const QColor buttonFace = pctPreview->palette().color(QPalette::Button);
    QImage glyph(font.charWidth, modCode::rowsPerGlyph, QImage::Format_RGB32);
    for (int row = 0; row < modCode::rowsPerGlyph; ++row) {
        for (int column = 0; column < font.charWidth; ++column) {
            const QColor pixel = gridPixel(row, column)->backColor();
            const bool hidden = row >= font.charHeight;
            glyph.setPixelColor(column, row, !hidden || pixel == Qt::black ? pixel : buttonFace);
        }
    }
    pctPreview->drawGlyph(painter, QPoint(1, 1), glyph);
}
