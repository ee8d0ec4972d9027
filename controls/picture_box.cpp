#include "picture_box.h"

#include "accessible_factory.h"
#include "device_pixels.h"

#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>

namespace {

// Assistive technology presents a picture box as a picture under its
// accessible name; left to Qt, it would pass for a window frame.
class PictureBoxInterface : public QAccessibleWidget
{
public:
    explicit PictureBoxInterface(PictureBox* box) : QAccessibleWidget(box, QAccessible::Graphic) {}
};

}  // namespace

PictureBox::PictureBox(QWidget* parent)
    : QFrame(parent)
{
    installAccessibleInterface<PictureBox, PictureBoxInterface>();

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
    const int side = wholeDevicePixels(scale);

    // The painter draws in logical pixels from the drawing area's corner, and
    // the window's device pixels start at its own corner: place the glyph on
    // a whole device pixel of the window, then say where that is in logical
    // pixels of the painter.
    const WindowPixel corner = windowPixel(*this, drawingArea().topLeft() + topLeft);
    const QPoint areaInWindow = corner.logical - topLeft;

    QImage squares = glyph.scaled(glyph.size() * side);  // each pixel a square, colours untouched
    squares.setDevicePixelRatio(scale);
    painter.drawImage(QPointF(corner.device) / scale - QPointF(areaInWindow), squares);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Click();
    QFrame::mouseReleaseEvent(event);
}
