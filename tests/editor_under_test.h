#pragma once

#include "frmmain.h"
#include "scripted_dialogs.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QImage>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

#include <functional>
#include <memory>
#include <type_traits>

class ComboBox;
class PictureBox;
class PixelButton;
class Slider;

// The real editor window with scripted dialogs, shown, and ways to reach its
// controls by their names.
class EditorUnderTest
{
public:
    explicit EditorUnderTest(const QString& programDirectory = QCoreApplication::applicationDirPath());

    frmMain& window() { return *editor; }
    modCode& font() { return editor->fontStore(); }
    ScriptedDialogs& dialogs() { return *script; }

    // The control of that object name. When there is none, the running test
    // fails, and goes on to its end with a stand-in out of sight.
    template <typename Control>
    Control* control(const QString& name) const
    {
        if (auto* found = editor->findChild<Control*>(name))
            return found;
        QTest::qFail(qPrintable(QStringLiteral("no control named ") + name), __FILE__, __LINE__);
        if constexpr (std::is_abstract_v<Control>)
            return new QPushButton(standIns.get());
        else
            return new Control(standIns.get());
    }

    PixelButton* pixel(int index) const;
    void clickPixel(int index);
    // The row byte that grid row `row` holds, bit 7 its leftmost button; only
    // exactly black counts as inked.
    int gridRow(int row) const;
    // What the window shows of the grid's visible rows: the colour at the
    // centre of each button, one image pixel per button.
    QImage shownGrid() const;
    void click(const QString& buttonName);

    // What the glyph preview shows of its 8 × 32 glyph pixels, and the
    // reference picture of its 8 × 14 cell, read where they must stand; null
    // when a glyph pixel does not show as an equal square there (see
    // shownGlyph).
    QImage previewGlyph() const;
    QImage referenceGlyph() const;

private:
    ScriptedDialogs* script;
    std::unique_ptr<frmMain> editor;
    std::unique_ptr<QWidget> standIns = std::make_unique<QWidget>();
};

// The texts that `control` cuts off: its caption, or any entry of a list box,
// each measured in the control's font against the room the control gives it
// (a label's width and height, a button's face, a list box's edit field, a
// frame's top line). The text it shows (a list box's selected entry) must
// also show its whole ink height on screen, dots and descenders included;
// one cut there is listed as "text (ink)". Empty when everything shows whole.
QStringList cutTexts(const QWidget* control);

// A reference strip of 256 cells of 8 × 14 pixels, black on white, whose
// cells all differ: the top row of cell k holds the bits of k.
QImage distinctCellStrip();

// A design rectangle in twips as the window's logical pixels, 15 twips each.
QRect pixelsOf(int left, int top, int width, int height);

// The person opens the list with F4, walks to the entry with the arrow keys
// and takes it with Enter, even when it is the entry already selected.
void pickFromList(ComboBox* list, const QString& entry);

// The slider's parts as its style lays them out, and the options it lays
// them out with. A click in the groove's middle hits it: the tick marks push
// the groove off the slider's centre.
QStyleOptionSlider sliderOption(const Slider* slider);
QRect sliderPart(const Slider* slider, QStyle::SubControl part);

// The person turns the mouse wheel over the middle of `target` by `angle`
// eighths of a degree: 120 is one notch, positive turns up.
void turnWheel(QWidget* target, int angle);

// What the window shows of `widget` in `area` (the widget's own coordinates;
// the whole widget when null): the pixels the window last drew, read once the
// repaints already due have run, so that a repaint the program missed shows as
// the old picture. One image pixel per device pixel.
QImage shownPixels(const QWidget* widget, const QRect& area = QRect());

// What assistive technology reads for a control, as its name by default.
QString accessibleText(QWidget* control, QAccessible::Text text = QAccessible::Name);

// What a screen reader reads as a list's entry or the slider's position: from
// Qt 6.5 the list's selected item, before it the list's text; from Qt 6.8
// the slider's "valuetext", before it the bare number.
QString heardValue(QWidget* control);
// What a screen reader says while `act` runs: the name of each object it is
// told has the focus, and from Qt 6.5 the value of each control whose value
// changed, which Qt before 6.5 cannot tell it.
QStringList heardWhile(const std::function<void()>& act);

// What a picture box shows inside its border.
QImage drawnPixels(const PictureBox* box);

// The glyph a picture box shows with its top-left pixel at `topLeft` of its
// drawing area, `size` glyph pixels large, one image pixel per glyph pixel.
// At every display scale a glyph pixel must show as an equal square of whole
// device pixels, as many as the scale holds whole, placed from the first
// device pixel wholly inside the glyph's top-left pixel; where one does not,
// the result is null and a warning says where.
QImage shownGlyph(const PictureBox* box, QPoint topLeft, QSize size);
// The same from the glyph's top-left device pixel in the window.
QImage shownGlyph(const QWidget* window, QPoint deviceCorner, QSize size);
// One pixel of an image as 0xRRGGBB.
QRgb rgbAt(const QImage& image, int x, int y);

// "" when `shown` has the colours of `expected`, pixel for pixel; otherwise
// their sizes or the first pixel that differs.
QString firstDifference(const QImage& shown, const QImage& expected);
