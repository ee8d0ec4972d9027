#include "pixel_button.h"

#include "device_pixels.h"
#include "enter_key.h"

#include <QKeyEvent>
#include <QPainter>

PixelButton::PixelButton(QWidget* parent, int index)
    : QAbstractButton(parent)
    , index_(index)
{
    setFocusPolicy(Qt::StrongFocus);
    setCheckable(true);
    connect(this, &QAbstractButton::clicked, this, [this] { emit Click(index_); });
}

void PixelButton::setBackColor(QColor color)
{
    if (color == backColor_)
        return;
    backColor_ = color;
    setChecked(backColor_ == Qt::black);
    nameItsColour();
    update();
}

void PixelButton::setPlaceName(const QString& place)
{
    placeName_ = place;
    nameItsColour();
}

// Black is the inked pixel; any other colour reads as the blank one.
void PixelButton::nameItsColour()
{
    setAccessibleName(placeName_ + (backColor_ == Qt::black ? QStringLiteral(": schwarz") : QStringLiteral(": weiß")));
}

QSize PixelButton::sizeHint() const
{
    return {17, 17};
}

// A raised button face, each of its edge lines one logical pixel wide: light
// outside and the button face inside at the top and left, the shadow outside
// and the dark shade inside at the bottom and right; pressed, the other way
// round. The lines lie on whole device pixels, equally wide, so that between
// two neighbours, which overlap by one line, the dark shade shows at every
// display scale as it does at 100 %.
void PixelButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const qreal scale = devicePixelRatioF();
    const int line = wholeDevicePixels(scale);
    const WindowPixel corner = windowPixel(*this, QPoint(0, 0));
    const QSize deviceSize(deviceEdge(corner.logical.x() + width(), scale) - corner.device.x(),
                           deviceEdge(corner.logical.y() + height(), scale) - corner.device.y());

    const QPalette& colours = palette();
    const bool down = isDown();
    QImage face(deviceSize, QImage::Format_RGB32);
    face.fill(colours.color(down ? QPalette::Light : QPalette::Shadow));
    QPainter facePainter(&face);
    const QRect whole(QPoint(0, 0), deviceSize);
    facePainter.fillRect(whole.adjusted(0, 0, -line, -line), colours.color(down ? QPalette::Shadow : QPalette::Light));
    facePainter.fillRect(whole.adjusted(line, line, -line, -line), colours.color(down ? QPalette::Button : QPalette::Dark));
    facePainter.fillRect(whole.adjusted(line, line, -2 * line, -2 * line),
                         colours.color(down ? QPalette::Dark : QPalette::Button));
    facePainter.fillRect(whole.adjusted(2 * line, 2 * line, -2 * line, -2 * line), backColor_);
    facePainter.end();

    face.setDevicePixelRatio(scale);
    painter.drawImage(QPointF(corner.device) / scale - QPointF(corner.logical), face);
    if (hasFocus()) {
        // Drawn in the inverse of the pixel so that it shows on black and white alike.
        painter.setPen(QPen(QColor::fromRgb(backColor_.rgb() ^ 0xFFFFFF), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(3, 3, -4, -4));
    }
}

void PixelButton::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        emit Arrow(index_, -1, 0);
        break;
    case Qt::Key_Down:
        emit Arrow(index_, 1, 0);
        break;
    case Qt::Key_Left:
        emit Arrow(index_, 0, -1);
        break;
    case Qt::Key_Right:
        emit Arrow(index_, 0, 1);
        break;
    default:
        if (!clickOnEnter(*this, *event))
            QAbstractButton::keyPressEvent(event);
        return;
    }
    event->accept();
}
