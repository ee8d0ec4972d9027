#include "frmpreview.h"

#include "design_place.h"
#include "handler_guard.h"
#include "modcode.h"
#include "picture_box.h"
#include "twips.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {

// Where the glyph pixel (row, column) of a code lies in the drawing area:
// 32 glyphs to a line, 9 pixels apart, and lines 33 pixels apart.
constexpr int glyphsPerLine = 32;
constexpr int columnPitch = 9;
constexpr int linePitch = 33;

// A path too long for its label loses the middle of its folder part to "…",
// so that the file name and what follows it stay readable; the tooltip then
// holds the whole text. Where even the file name does not fit, the middle of
// the whole text goes, which keeps at least its start and its end.
void fitIntoLabel(QLabel& label)
{
    const QString whole = label.text();
    const QFontMetrics metrics = label.fontMetrics();
    const int width = label.contentsRect().width();
    if (metrics.horizontalAdvance(whole) <= width)
        return;

    const qsizetype nameStart = whole.lastIndexOf(QLatin1Char('/')) + 1;
    const QString name = whole.mid(nameStart);
    const QString folder =
        metrics.elidedText(whole.left(nameStart), Qt::ElideMiddle, width - metrics.horizontalAdvance(name));
    // Empty when not even "…" fits beside the name.
    const bool nameFits = !folder.isEmpty() && metrics.horizontalAdvance(folder + name) <= width;
    label.setText(nameFits ? folder + name : metrics.elidedText(whole, Qt::ElideMiddle, width));
    label.setToolTip(whole);
}

}  // namespace

frmPreview::frmPreview(const modCode& editorFont, UserDialogs& editorDialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , font(editorFont)
    , dialogs(editorDialogs)
{
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(QStringLiteral("Font Preview"));
    setModal(true);
    const QRect window = twipsRect(2760, 3750, 6465, 4530);
    // The design places the client area, not the frame, so setGeometry and
    // not move: the title bar and border lie outside this rectangle.
    setFixedSize(window.size());
    setGeometry(window);

    OKButton = place<QPushButton>(this, "OKButton", twipsRect(5160, 420, 1215, 375));
    OKButton->setText(QStringLiteral("OK"));
    pctTotalPreview = place<PictureBox>(this, "pctTotalPreview", twipsRect(600, 420, 4455, 4035));
    pctTotalPreview->setAccessibleName(QStringLiteral("Übersicht aller 256 Zeichen"));
    pctTotalPreview->setAccessibleDescription(QStringLiteral("8 Zeilen zu je 32 Zeichen, von 00-1F oben bis E0-FF unten"));

    static const std::array<const char*, 8> ranges = {"00-1F", "20-3F", "40-5F", "60-7F",
                                                      "80-9F", "A0-BF", "C0-DF", "E0-FF"};
    static const std::array<int, 8> rangeTops = {480, 960, 1440, 1980, 2460, 2940, 3480, 3960};
    for (std::size_t line = 0; line < LabelN.size(); ++line)
        LabelN[line] = placeLabel(this, QStringLiteral("LabelN(%1)").arg(line), QString::fromLatin1(ranges[line]),
                                  twipsRect(120, rangeTops[line], 495, 195));
    Label1 = placeLabel(this, "Label1", QStringLiteral("File:"), twipsRect(120, 120, 495, 255));
    lblFileName = placeLabel(this, "lblFileName", QString(), twipsRect(600, 60, 5775, 255));

    connect(OKButton, &QPushButton::clicked, this, guardedSlot(this, dialogs, &frmPreview::OKButton_Click));
    connect(pctTotalPreview, &PictureBox::Paint, &pctTotalPreviewPaintGuard,
            guardedSlot(this, pctTotalPreviewPaintGuard, &frmPreview::pctTotalPreview_Paint));

    Form_Load();
}

// The file the font came from, marked when it has unsaved changes; nothing
// before a font file was loaded.
void frmPreview::Form_Load()
{
    if (font.fontFileName.isEmpty())
        return;
    lblFileName->setText(font.fontFileName);
    if (font.isModified())
        lblFileName->setText(lblFileName->text() + QStringLiteral("(modified)"));
    fitIntoLabel(*lblFileName);
}

// Black for a set bit, white for a clear one; rows at or beyond the height
// are not drawn, and what lies between the glyphs keeps the background.
void frmPreview::pctTotalPreview_Paint(QPainter& painter)
{
    QImage glyph(font.charWidth, font.charHeight, QImage::Format_RGB32);
    for (int code = 0; code < modCode::glyphCount; ++code) {
        for (int row = 0; row < font.charHeight; ++row) {
            const std::uint8_t rowByte = font.getGlyphByte(modCode::glyphByteIndex(code, row));
            auto* pixels = reinterpret_cast<QRgb*>(glyph.scanLine(row));
            for (int column = 0; column < font.charWidth; ++column)
                pixels[column] = (rowByte & modCode::columnBit(column)) ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
        }
        const QPoint topLeft(columnPitch * (code % glyphsPerLine) + 1, linePitch * (code / glyphsPerLine) + 1);
        pctTotalPreview->drawGlyph(painter, topLeft, glyph);
    }
}

void frmPreview::OKButton_Click()
{
    accept();
}
