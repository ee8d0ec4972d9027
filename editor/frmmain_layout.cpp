// The editor window's controls at their design places. Positions and sizes
// are the design's twips; containers place their children from their own
// outer top-left corner.

#include "frmmain.h"

#include "combo_box.h"
#include "command_button.h"
#include "design_place.h"
#include "frame.h"
#include "handler_guard.h"
#include "picture_box.h"
#include "pixel_button.h"
#include "qt_user_dialogs.h"
#include "slider.h"
#include "twips.h"

#include <QApplication>
#include <QLineEdit>
#include <QWindow>

namespace {

Frame* placeFrame(QWidget* container, const char* name, const QString& caption, QRect design)
{
    auto* frame = place<Frame>(container, name, design);
    frame->setTitle(caption);
    return frame;
}

CommandButton* placeButton(QWidget* container, const char* name, const QString& caption, QRect design)
{
    auto* button = place<CommandButton>(container, name, design);
    button->setText(caption);
    return button;
}

// A marker rectangle: filled with its colour, no border line.
QWidget* placeMarker(QWidget* container, const char* name, QColor colour, QRect design)
{
    auto* marker = place<QWidget>(container, name, design);
    QPalette palette = marker->palette();
    palette.setColor(QPalette::Window, colour);
    marker->setPalette(palette);
    marker->setAutoFillBackground(true);
    return marker;
}

}  // namespace

frmMain::frmMain(std::unique_ptr<UserDialogs> replacementDialogs, const QString& bitmapDirectory)
    : dialogs(replacementDialogs ? std::move(replacementDialogs) : std::make_unique<QtUserDialogs>(this))
    , programDirectory(bitmapDirectory)
{
    createControls();
    connectHandlers();
    Form_Load();
}

void frmMain::createControls()
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("LU/VO Fonteditor"));
    // The window is 8900 twips high with its title bar and borders, which
    // leaves the design's client height below them.
    resize(pixelsFromTwips(5625), pixelsFromTwips(8535));

    Frame2 = placeFrame(this, "Frame2", QStringLiteral("Fontgeometrie"), twipsRect(120, 180, 1935, 855));
    Label1 = placeLabel(Frame2, "Label1", QStringLiteral("Zeichenbreite"), twipsRect(120, 240, 1095, 195));
    Label2 = placeLabel(Frame2, "Label2", QStringLiteral("Zeichenhöhe"), twipsRect(120, 540, 975, 195));
    cboZeichenbreite = place<ComboBox>(Frame2, "cboZeichenbreite", twipsRect(1200, 180, 615, 315));
    cboZeichenhoehe = place<ComboBox>(Frame2, "cboZeichenhoehe", twipsRect(1200, 480, 615, 315));

    Frame1 = placeFrame(this, "Frame1", QStringLiteral("Hilfsmittel"), twipsRect(120, 1200, 1935, 855));
    Label4 = placeLabel(Frame1, "Label4", QStringLiteral("Hilfslinie"), twipsRect(120, 240, 1095, 195));
    Label3 = placeLabel(Frame1, "Label3", QStringLiteral("Basislinie"), twipsRect(120, 540, 1095, 195));
    cboHilfslinie = place<ComboBox>(Frame1, "cboHilfslinie", twipsRect(960, 180, 855, 315));
    cboBasislinie = place<ComboBox>(Frame1, "cboBasislinie", twipsRect(960, 480, 855, 315));

    Frame3 = placeFrame(this, "Frame3", QStringLiteral("Aktuelles Zeichen"), twipsRect(120, 2220, 1935, 4335));
    sldSelectCharacter = place<Slider>(Frame3, "sldSelectCharacter", twipsRect(120, 180, 510, 4095));
    sldSelectCharacter->setRange(0, 255);
    sldSelectCharacter->setPageStep(16);
    sldSelectCharacter->setTickPosition(QSlider::TicksRight);
    sldSelectCharacter->setTickInterval(16);
    Label8 = placeLabel(Frame3, "Label8", QStringLiteral("DEZ / HEX"), twipsRect(720, 360, 975, 195));
    lblCurrentChar = placeLabel(Frame3, "lblCurrentChar", QString(), twipsRect(720, 540, 1095, 315));
    lblWinChar = placeLabel(Frame3, "lblWinChar", QString(), twipsRect(840, 1020, 255, 255));
    Label5 = placeLabel(Frame3, "Label5", QStringLiteral("PREVIEW"), twipsRect(720, 1140, 975, 195));
    pctPreview = place<PictureBox>(Frame3, "pctPreview", twipsRect(720, 1380, 1095, 555));
    Label9 = placeLabel(Frame3, "Label9", QStringLiteral("ASCII (LU/VO)"), twipsRect(720, 2220, 1095, 195));
    Picture1 = place<PictureBox>(Frame3, "Picture1", twipsRect(720, 2460, 1095, 315));
    Label7 = placeLabel(Frame3, "Label7", QStringLiteral("ANSI (WIN)"), twipsRect(720, 3060, 975, 195));
    txtWindowsChar = place<QLineEdit>(Frame3, "txtWindowsChar", twipsRect(720, 3300, 1095, 315));
    txtWindowsChar->setEnabled(false);
    // The design's image stays hidden and empty: Picture1 shows the reference glyph.
    Image1 = place<Label>(Frame3, "Image1", twipsRect(720, 3720, 360, 510));
    Image1->setVisible(false);

    // Its height, and the places of the buttons in it, follow the font's height (layOutPixelGrid).
    fraZeichendef = placeFrame(this, "fraZeichendef", QStringLiteral("Zeichendefinition"), twipsRect(2160, 180, 2175, 0));
    // The markers come first so that they lie behind the pixel buttons.
    shpBasislinie = placeMarker(fraZeichendef, "shpBasislinie", QColor(0, 0, 255), twipsRect(30, 420, 2115, 255));
    shpHilfslinie = placeMarker(fraZeichendef, "shpHilfslinie", QColor(0, 255, 0), twipsRect(30, 660, 2115, 255));
    createPixelGrid();

    cmdPreview = placeButton(this, "cmdPreview", QStringLiteral("Preview"), twipsRect(4440, 240, 1095, 315));
    cmdLoad = placeButton(this, "cmdLoad", QStringLiteral("Laden"), twipsRect(4440, 5400, 1095, 315));
    cmdSave = placeButton(this, "cmdSave", QStringLiteral("Speichern"), twipsRect(4440, 5820, 1095, 315));
    cmdBeenden = placeButton(this, "cmdBeenden", QStringLiteral("Beenden"), twipsRect(4440, 6240, 1095, 315));

    Label11 = placeLabel(this, "Label11", QStringLiteral("Pixel anklicken: an / aus"), twipsRect(120, 6780, 1935, 255));
    Label10 = placeLabel(this, "Label10", QStringLiteral("Schieber: Zeichen wählen"), twipsRect(120, 7020, 1935, 255));
    Label6 = placeLabel(this, "Label6", QStringLiteral("Preview: alle 256 Zeichen"), twipsRect(120, 7260, 1935, 255));

    // Each list, and the Windows character, is heard under its caption.
    Label1->setBuddy(cboZeichenbreite);
    Label2->setBuddy(cboZeichenhoehe);
    Label4->setBuddy(cboHilfslinie);
    Label3->setBuddy(cboBasislinie);
    Label7->setBuddy(txtWindowsChar);

    // Keyboard focus in the design's tab order; the pixels follow row by row.
    QList<QWidget*> tabOrder = {cmdLoad, cmdBeenden, cmdSave};
    tabOrder.append(QList<QWidget*>(cmdPixel.begin(), cmdPixel.end()));
    tabOrder << cboZeichenbreite << cboZeichenhoehe << cboBasislinie << cboHilfslinie
             << sldSelectCharacter << txtWindowsChar << cmdPreview;
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    // The window opens with the focus on the first of them; left to Qt, it
    // would go to the control created first.
    tabOrder.constFirst()->setFocus();
}

// 32 rows of 8 buttons, one for each pixel a glyph can have.
void frmMain::createPixelGrid()
{
    for (int index = 0; index < int(cmdPixel.size()); ++index) {
        const int row = index / modCode::pixelsPerRow;
        const int column = index % modCode::pixelsPerRow;
        cmdPixel[index] = new PixelButton(fraZeichendef, index);
        cmdPixel[index]->setObjectName(QStringLiteral("cmdPixel(%1)").arg(index));
        // Counted from 1, as people count and as the line lists do.
        cmdPixel[index]->setPlaceName(QStringLiteral("Zeile %1, Spalte %2").arg(row + 1).arg(column + 1));
    }
}

// Every handler runs guarded, and each connection ends with its context.
void frmMain::connectHandlers()
{
    const auto guard = [this](auto handler) { return guardedSlot(this, *dialogs, handler); };
    QObject* const context = &handlerContext;

    for (PixelButton* pixel : cmdPixel) {
        connect(pixel, &PixelButton::Click, context, guard(&frmMain::cmdPixel_Click));
        connect(pixel, &PixelButton::Arrow, context, guard(&frmMain::cmdPixel_Arrow));
    }

    connect(sldSelectCharacter, &Slider::Click, context, guard(&frmMain::sldSelectCharacter_Click));
    connect(sldSelectCharacter, &Slider::Change, context, guard(&frmMain::sldSelectCharacter_Change));
    connect(txtWindowsChar, &QLineEdit::textChanged, context, guard(&frmMain::txtWindowsChar_Change));

    connect(pctPreview, &PictureBox::Paint, &pctPreviewPaintGuard,
            guardedSlot(this, pctPreviewPaintGuard, &frmMain::pctPreview_Paint));
    connect(pctPreview, &PictureBox::Click, context, guard(&frmMain::pctPreview_Click));
    connect(Picture1, &PictureBox::Paint, &Picture1PaintGuard,
            guardedSlot(this, Picture1PaintGuard, &frmMain::Picture1_Paint));

    connect(cboZeichenbreite, &ComboBox::Click, context, guard(&frmMain::cboZeichenbreite_Click));
    connect(cboZeichenhoehe, &ComboBox::Click, context, guard(&frmMain::cboZeichenhoehe_Click));
    connect(cboBasislinie, &ComboBox::Click, context, guard(&frmMain::cboBasislinie_Click));
    connect(cboHilfslinie, &ComboBox::Click, context, guard(&frmMain::cboHilfslinie_Click));

    connect(cmdLoad, &CommandButton::clicked, context, guard(&frmMain::cmdLoad_Click));
    connect(cmdSave, &CommandButton::clicked, context, guard(&frmMain::cmdSave_Click));
    connect(cmdBeenden, &CommandButton::clicked, context, guard(&frmMain::cmdBeenden_Click));
    connect(cmdPreview, &CommandButton::clicked, context, guard(&frmMain::cmdPreview_Click));

    // The focused control shows its focus mark from the start, not only after
    // the first Tab: whenever the window gets the focus, since Qt 6.11 clears
    // the mark as it hands the focus to the control of a window just activated.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](const QWindow* focused) {
        if (focused && focused == windowHandle())
            setAttribute(Qt::WA_KeyboardFocusChange);
    });
}
