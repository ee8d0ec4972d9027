#include "picture_box.h"

#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

// The first device pixel that lies wholly inside the logical pixel at
// `logical`: at fractional scales a logical pixel starts part-way into a
// device pixel, which belongs to its neighbour as well. The small allowance
// keeps a product such as 3 × 1.1 from falling just past a whole pixel.
int firstDevicePixel(int logical, qreal scale)
{
    return int(std::ceil(logical * scale - 1e-6));
}

// Assistive technology presents a picture box as a picture under its
// accessible name; left to Qt, it would pass for a window frame.
QAccessibleInterface* pictureBoxInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String("PictureBox") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
    return nullptr;
}

}  // namespace

PictureBox::PictureBox(QWidget* parent)
    : QFrame(parent)
{
    static const bool interfaceFactoryInstalled = (QAccessible::installFactory(pictureBoxInterface), true);
    Q_UNUSED(interfaceFactoryInstalled);

    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setClipRect(drawingArea());
    painter.translate(drawingArea().topLeft());
    emit Paint(painter);
}

void PictureBox::drawGlyph(QPainter& painter, QPoint topLeft, const QImage& glyph) const
{
    const qreal scale = devicePixelRatioF();
    const int side = std::max(1, int(std::floor(scale + 1e-6)));

    // The painter draws in logical pixels from the drawing area's corner, and
    // the window's device pixels start at its own corner: place the glyph on
    // a whole device pixel of the window, then say where that is in logical
    // pixels of the painter.
    const QPoint areaInWindow = mapTo(window(), drawingArea().topLeft());
    const QPoint glyphInWindow = areaInWindow + topLeft;
    const QPointF deviceCorner(firstDevicePixel(glyphInWindow.x(), scale), firstDevicePixel(glyphInWindow.y(), scale));

    QImage squares = glyph.scaled(glyph.size() * side);  // each pixel a square, colours untouched
    squares.setDevicePixelRatio(scale);
    painter.drawImage(deviceCorner / scale - QPointF(areaInWindow), squares);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Click();
    QFrame::mouseReleaseEvent(event);
}
