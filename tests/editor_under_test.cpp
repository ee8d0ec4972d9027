#include "editor_under_test.h"

#include "combo_box.h"
#include "picture_box.h"
#include "pixel_button.h"
#include "slider.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QBackingStore>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QWheelEvent>
#include <QWindow>

#include <cmath>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

EditorUnderTest::EditorUnderTest(const QString& programDirectory)
{
    auto dialogs = std::make_unique<ScriptedDialogs>();
    script = dialogs.get();
    editor = std::make_unique<frmMain>(std::move(dialogs), programDirectory);
    editor->show();
    // Without a window manager a window becomes active only when asked to,
    // and keys go to the active window alone.
    editor->activateWindow();
    QVERIFY2(QTest::qWaitForWindowActive(editor.get()), "the editor window was not shown and activated");
}

PixelButton* EditorUnderTest::pixel(int index) const
{
    return control<PixelButton>(QStringLiteral("cmdPixel(%1)").arg(index));
}

void EditorUnderTest::clickPixel(int index)
{
    QTest::mouseClick(pixel(index), Qt::LeftButton);
}

void EditorUnderTest::click(const QString& buttonName)
{
    QTest::mouseClick(control<QAbstractButton>(buttonName), Qt::LeftButton);
}

int EditorUnderTest::gridRow(int row) const
{
    int rowByte = 0;
    for (int column = 0; column < 8; ++column)
        if ((pixel(8 * row + column)->backColor().rgb() & 0xFFFFFF) == 0)
            rowByte |= 0x80 >> column;
    return rowByte;
}

QImage EditorUnderTest::shownGrid() const
{
    const QImage shown = shownPixels(editor.get());
    const qreal scale = shown.devicePixelRatio();
    int rows = 0;
    while (rows < 32 && pixel(8 * rows)->isVisible())
        ++rows;
    QImage grid(8, rows, QImage::Format_RGB32);
    for (int index = 0; index < 8 * rows; ++index) {
        const QPoint centre = pixel(index)->mapTo(editor.get(), pixel(index)->rect().center());
        grid.setPixel(index % 8, index / 8, shown.pixel((QPointF(centre) * scale).toPoint()));
    }
    return grid;
}

namespace {

// Where the top-left device pixel of the preview's and the reference's glyph
// stands in the window at each scale the tests run at: the first device pixel
// wholly inside the glyph's top-left pixel, worked out by hand from their
// places. The preview's glyph starts at (59, 243), one pixel in from its
// drawing area; the reference's at (60, 314), two pixels in, flush with the
// top. At 1.25 the preview's starts at (73.75, 303.75), so at (74, 304).
struct GlyphCorners
{
    qreal scale;
    QPoint preview;
    QPoint reference;
};
constexpr GlyphCorners glyphCorners[] = {
    {1, {59, 243}, {60, 314}},
    {1.25, {74, 304}, {75, 393}},
    {1.5, {89, 365}, {90, 471}},
    {1.75, {104, 426}, {105, 550}},
    {2, {118, 486}, {120, 628}},
};

QPoint glyphCorner(const QWidget* window, QPoint GlyphCorners::*picture)
{
    for (const GlyphCorners& corners : glyphCorners)
        if (qFuzzyCompare(corners.scale, window->devicePixelRatioF()))
            return corners.*picture;
    QTest::qFail("no glyph places are known at this scale", __FILE__, __LINE__);
    return {};
}

}  // namespace

QImage EditorUnderTest::previewGlyph() const
{
    return shownGlyph(editor.get(), glyphCorner(editor.get(), &GlyphCorners::preview), QSize(8, 32));
}

QImage EditorUnderTest::referenceGlyph() const
{
    return shownGlyph(editor.get(), glyphCorner(editor.get(), &GlyphCorners::reference), QSize(8, 14));
}

void pickFromList(ComboBox* list, const QString& entry)
{
    const int target = list->findText(entry);
    QVERIFY2(target >= 0, qPrintable(entry));
    QTest::keyClick(list, Qt::Key_F4);
    QAbstractItemView* view = list->view();
    QTRY_VERIFY(view->isVisible());
    for (int steps = 0; view->currentIndex().row() != target && steps < 40; ++steps)
        QTest::keyClick(view, view->currentIndex().row() < target ? Qt::Key_Down : Qt::Key_Up);
    QCOMPARE(view->currentIndex().row(), target);
    QTest::keyClick(view, Qt::Key_Return);
    QTRY_VERIFY(!view->isVisible());
}

namespace {

// How many rows of device pixels the ink of `image` spans, from the top of
// the highest (the dots of "Ö") to the foot of the lowest (the tail of "g").
// A row holds ink when its grey pixels, darker than the lightest of the row,
// add up to half a black pixel on that background: a stroke smoothed over
// two pixels counts, a faint fringe does not. A focus mark, in colour, is no
// ink.
int inkHeight(const QImage& image)
{
    QList<int> inkedRows;
    for (int y = 0; y < image.height(); ++y) {
        int lightest = 0;
        for (int x = 0; x < image.width(); ++x)
            lightest = std::max(lightest, qGray(image.pixel(x, y)));
        int darkness = 0;
        for (int x = 0; x < image.width(); ++x)
            if (const QColor colour = image.pixelColor(x, y); colour.hsvSaturation() < 32)
                darkness += lightest - qGray(colour.rgb());
        if (2 * darkness >= lightest)
            inkedRows << y;
    }
    return inkedRows.isEmpty() ? 0 : inkedRows.last() - inkedRows.first() + 1;
}

// The ink height of `text` drawn alone in `font`, black on white, into an
// image like `screen`: its scale and its format, on which the smoothing of
// the edges depends.
int wholeInkHeight(const QString& text, const QFont& font, const QImage& screen)
{
    const QFontMetrics metrics(font);
    const qreal scale = screen.devicePixelRatio();
    QImage image(QSize(metrics.horizontalAdvance(text) + 8, 3 * metrics.height()) * scale, screen.format());
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(4, metrics.height() + metrics.ascent(), text);
    painter.end();
    return inkHeight(image);
}

}  // namespace

QStringList cutTexts(const QWidget* control)
{
    const QFontMetrics metrics = control->fontMetrics();
    QStringList cut;
    const auto check = [&](const QString& text, QRect room) {
        if (metrics.horizontalAdvance(text) > room.width() || metrics.height() > room.height())
            cut << text;
    };
    // The text shown on screen, in `room`, must have as much ink in height
    // as the text drawn alone.
    const auto checkInk = [&](const QString& text, QRect room) {
        const QImage shown = shownPixels(control, room);
        if (!text.isEmpty() && inkHeight(shown) != wholeInkHeight(text, control->font(), shown))
            cut << text + QStringLiteral(" (ink)");
    };
    if (auto* label = qobject_cast<const QLabel*>(control)) {
        check(label->text(), label->contentsRect());
        checkInk(label->text(), QRect(label->contentsRect().left() - 2, 0, metrics.horizontalAdvance(label->text()) + 4, label->height()));
    } else if (auto* button = qobject_cast<const QPushButton*>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect face = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        check(button->text(), face);
        const int advance = metrics.horizontalAdvance(button->text());
        checkInk(button->text(), QRect(face.center().x() - advance / 2 - 1, face.top(), advance + 2, face.height()));
    } else if (auto* list = qobject_cast<const QComboBox*>(control)) {
        QStyleOptionComboBox option;
        option.initFrom(list);
        const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
        // The style draws the entry one pixel in from the field's left edge
        // and cuts it off at the field's right edge.
        for (int index = 0; index < list->count(); ++index)
            check(list->itemText(index), field.adjusted(1, 0, 0, 0));
        checkInk(list->currentText(), QRect(field.left(), field.top(), metrics.horizontalAdvance(list->currentText()) + 2, field.height()));
    } else if (auto* frame = qobject_cast<const QGroupBox*>(control)) {
        // The caption stands in the top line, indented from both corners. How
        // far down its ink reaches depends on the rasterizer, so it is read
        // with the controls inside put out of the way, down to the bottom line.
        check(frame->title(), QRect(0, 0, frame->width() - 16, frame->height()));
        QList<QWidget*> inside = frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        inside.removeIf([](const QWidget* child) { return child->isHidden(); });
        for (QWidget* child : inside)
            child->hide();
        checkInk(frame->title(), QRect(6, 0, metrics.horizontalAdvance(frame->title()) + 4, frame->height() - 2));
        for (QWidget* child : inside)
            child->show();
    }
    return cut;
}

QImage distinctCellStrip()
{
    QImage strip(256 * 8, 14, QImage::Format_RGB32);
    for (int cell = 0; cell < 256; ++cell)
        for (int row = 0; row < 14; ++row)
            for (int column = 0; column < 8; ++column) {
                const bool inked = ((cell + 29 * row) & 0xFF) & (0x80 >> column);
                strip.setPixel(8 * cell + column, row, inked ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
            }
    return strip;
}

QRect pixelsOf(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}

QStyleOptionSlider sliderOption(const Slider* slider)
{
    // The slider's own options, which it keeps protected.
    struct Access : QSlider
    {
        using QSlider::initStyleOption;
    };
    QStyleOptionSlider option;
    (slider->*(&Access::initStyleOption))(&option);
    return option;
}

QRect sliderPart(const Slider* slider, QStyle::SubControl part)
{
    const QStyleOptionSlider option = sliderOption(slider);
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, part, slider);
}

void turnWheel(QWidget* target, int angle)
{
    const QPointF centre = QRectF(target->rect()).center();
    QWheelEvent wheel(centre, target->mapToGlobal(centre), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
}

QString accessibleText(QWidget* control, QAccessible::Text text)
{
    return QAccessible::queryAccessibleInterface(control)->text(text);
}

QString heardValue(QWidget* control)
{
    QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(control);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    if (QAccessibleAttributesInterface* attributes = heard->attributesInterface()) {
        const auto custom = attributes->attributeValue(QAccessible::Attribute::Custom).value<QHash<QString, QString>>();
        if (custom.contains(QStringLiteral("valuetext")))
            return custom.value(QStringLiteral("valuetext"));
    }
#endif
    if (heard->role() == QAccessible::ComboBox) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
        QAccessibleSelectionInterface* selection = heard->selectionInterface();
        if (selection && selection->selectedItemCount() == 1 && !selection->selectedItem(0)->text(QAccessible::Name).isEmpty())
            return selection->selectedItem(0)->text(QAccessible::Name);
        return heard->text(QAccessible::Name);
#else
        QAccessibleTextInterface* text = heard->textInterface();
        return text ? text->text(0, text->characterCount()) : QString();
#endif
    }
    QAccessibleValueInterface* value = heard->valueInterface();
    return value ? value->currentValue().toString() : QString();
}

namespace {

// What was heard so far while an act runs; controls whose value changed are
// read once it is over, as a screen reader reads them after Qt told it.
struct Hearing {
    QStringList heard;
    QList<QPointer<QWidget>> changed;
};
Hearing* hearing = nullptr;

void hear(QAccessibleEvent* event)
{
    if (event->type() == QAccessible::Focus)
        hearing->heard.append(event->accessibleInterface()->text(QAccessible::Name));
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    if (event->type() == QAccessible::ValueChanged && event->object() && event->object()->isWidgetType())
        hearing->changed.append(static_cast<QWidget*>(event->object()));
#endif
}

}  // namespace

QStringList heardWhile(const std::function<void()>& act)
{
    // Qt tells a screen reader anything only once it has found one: on the
    // desktop's accessibility bus, or on Windows once one first asks a
    // window, which the test does as one would.
#ifdef Q_OS_WIN
    constexpr LPARAM uiAutomationRoot = -25;  // UiaRootObjectId
    if (QWindow* window = QGuiApplication::focusWindow())
        ::SendMessageW(HWND(window->winId()), WM_GETOBJECT, 0, uiAutomationRoot);
#endif
    if (!QTest::qWaitFor([] { return QAccessible::isActive(); })) {
        qWarning("Qt found no screen reader on the accessibility bus.");
        return {};
    }
    Hearing thisAct;
    hearing = &thisAct;
    const QAccessible::UpdateHandler bridge = QAccessible::installUpdateHandler(hear);
    act();
    QAccessible::installUpdateHandler(bridge);
    hearing = nullptr;
    for (const QPointer<QWidget>& control : std::as_const(thisAct.changed))
        if (control)
            thisAct.heard.append(heardValue(control));
    return thisAct.heard;
}

namespace {

// What the widget's window last drew: its backing store, in device pixels,
// once the repaints already due have run. (QScreen::grabWindow() would do on
// the offscreen platform, but there it cuts a scaled window to its size in
// logical pixels.)
QImage windowPixels(const QWidget* widget)
{
    QCoreApplication::processEvents();
    const auto* drawn = dynamic_cast<const QImage*>(widget->window()->backingStore()->paintDevice());
    return drawn ? *drawn : QImage();
}

}  // namespace

QImage shownPixels(const QWidget* widget, const QRect& area)
{
    const QImage window = windowPixels(widget);
    const QRect shown = area.isNull() ? widget->rect() : area;
    const QRect inWindow(widget->mapTo(widget->window(), shown.topLeft()), shown.size());
    const qreal scale = window.devicePixelRatio();
    QImage pixels = window.copy(QRectF(QPointF(inWindow.topLeft()) * scale, QSizeF(inWindow.size()) * scale).toRect());
    pixels.setDevicePixelRatio(scale);
    return pixels;
}

QImage drawnPixels(const PictureBox* box)
{
    return shownPixels(box, box->drawingArea());
}

QImage shownGlyph(const PictureBox* box, QPoint topLeft, QSize size)
{
    const qreal scale = box->devicePixelRatioF();
    // The first device pixel wholly inside a logical one.
    const auto toDevice = [scale](int logical) { return int(std::ceil(logical * scale - 1e-6)); };
    const QPoint corner = box->mapTo(box->window(), box->drawingArea().topLeft() + topLeft);
    return shownGlyph(box->window(), QPoint(toDevice(corner.x()), toDevice(corner.y())), size);
}

QImage shownGlyph(const QWidget* window, QPoint deviceCorner, QSize size)
{
    const QImage shown = windowPixels(window);
    const qreal scale = shown.devicePixelRatio();
    const int side = std::max(1, int(std::floor(scale + 1e-6)));
    QImage glyph(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const QRect square(deviceCorner.x() + x * side, deviceCorner.y() + y * side, side, side);
            const QRgb colour = shown.pixel(square.topLeft());
            for (int dy = 0; dy < side; ++dy)
                for (int dx = 0; dx < side; ++dx)
                    if (shown.pixel(square.x() + dx, square.y() + dy) != colour) {
                        qWarning("glyph pixel (%d, %d) is no square of one colour at scale %g", x, y, scale);
                        return QImage();
                    }
            glyph.setPixel(x, y, colour);
        }
    }
    return glyph;
}

QRgb rgbAt(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

QString firstDifference(const QImage& shown, const QImage& expected)
{
    if (shown.size() != expected.size())
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(shown.width()).arg(shown.height()).arg(expected.width()).arg(expected.height());
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x)
            if (rgbAt(shown, x, y) != rgbAt(expected, x, y))
                return QStringLiteral("pixel (%1, %2) is #%3, expected #%4")
                    .arg(x).arg(y)
                    .arg(rgbAt(shown, x, y), 6, 16, QLatin1Char('0'))
                    .arg(rgbAt(expected, x, y), 6, 16, QLatin1Char('0'));
    return QString();
}
