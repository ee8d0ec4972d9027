#include "pixel_button.h"

#include "enter_key.h"

#include <QPainter>
#include <qdrawutil.h>

PixelButton::PixelButton(QWidget* parent)
    : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void PixelButton::setBackColor(QColor color)
{
    if (color == backColor_)
        return;
    backColor_ = color;
    nameItsColour();
    update();
}

void PixelButton::setPlaceName(const QString& place)
{
    placeName_ = place;
    nameItsColour();
}

// Black is the inked pixel; any other colour reads as the blank one. Setting
// the name tells assistive technology that it changed.
void PixelButton::nameItsColour()
{
    setAccessibleName(placeName_ + (backColor_ == Qt::black ? QStringLiteral(": schwarz") : QStringLiteral(": weiß")));
}

QSize PixelButton::sizeHint() const
{
    return {17, 17};
}

void PixelButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QBrush fill(backColor_);
    qDrawWinButton(&painter, rect(), palette(), isDown(), &fill);
    if (hasFocus()) {
        // Drawn in the inverse of the pixel so that it shows on black and white alike.
        painter.setPen(QPen(QColor::fromRgb(backColor_.rgb() ^ 0xFFFFFF), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(3, 3, -4, -4));
    }
}

void PixelButton::keyPressEvent(QKeyEvent* event)
{
    if (!clickOnEnter(*this, *event))
        QAbstractButton::keyPressEvent(event);
}
