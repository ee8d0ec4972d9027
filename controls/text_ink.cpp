#include "text_ink.h"

#include "device_pixels.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QWidget>

namespace {

// How many rows of device pixels the ink of `text` in `font` at `scale`
// reaches above its baseline: drawn on a whole device pixel, black on white.
int inkAboveBaseline(const QFont& font, qreal scale, const QString& text)
{
    const QFontMetrics metrics(font);
    const int baseline = int(std::ceil(2 * metrics.height() * scale));
    QImage image(int(std::ceil((metrics.horizontalAdvance(text) + 8) * scale)), 2 * baseline, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(4, baseline / scale), text);
    painter.end();
    for (int y = 0; y < baseline; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                return baseline - y;
    return 0;
}

}  // namespace

qreal inkBaseline(const QWidget& widget, int top, const QString& text)
{
    const qreal scale = widget.devicePixelRatioF();
    const QFont font = widget.font();
    // Drawing text is slow enough to keep what it found.
    static QHash<QString, int> found;
    const QString key = font.key() + QLatin1Char('@') + QString::number(scale) + QLatin1Char(':') + text;
    auto above = found.constFind(key);
    if (above == found.cend())
        above = found.insert(key, inkAboveBaseline(font, scale, text + QStringLiteral("ÄÖÜgpy")));

    const WindowPixel topPixel = windowPixel(widget, QPoint(0, top));
    const int deviceBaseline = topPixel.device.y() + *above;
    // A hair below the whole device pixel, so that rounding cannot lift it.
    return deviceBaseline / scale - (topPixel.logical.y() - top) + 1e-3;
}
