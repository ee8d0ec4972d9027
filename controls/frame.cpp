#include "frame.h"

#include "text_ink.h"

#include <QPainter>

namespace {

constexpr int captionIndent = 6;
constexpr int captionPadding = 2;

}  // namespace

void Frame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const int lineTop = metrics.height() / 2;

    // An etched line: dark, with a light line right inside it.
    const QRect border = rect().adjusted(0, lineTop, -1, -1);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(border.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(border.adjusted(1, 1, 0, 0));

    if (title().isEmpty())
        return;
    const QRect caption(captionIndent, 0, metrics.horizontalAdvance(title()) + 2 * captionPadding, metrics.height());
    painter.fillRect(caption, palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    // Placed by its ink, which may rise above the font's ascent.
    painter.drawText(QPointF(captionIndent + captionPadding, inkBaseline(*this, 0, title())), title());
}
