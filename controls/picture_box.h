#pragma once

#include <QFrame>

class QPainter;

// A sunken box that keeps no picture: whenever it must be shown, its owner
// draws it anew in the Paint handler, in pixels from the top-left corner of
// the drawing area inside the border. The background is the button face.
class PictureBox : public QFrame
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    // The part inside the border, in the box's own coordinates.
    QRect drawingArea() const { return contentsRect(); }

    // Draws `glyph`, one image pixel per glyph pixel, with its top-left pixel
    // at `topLeft` of the drawing area. Every glyph pixel is an equal square
    // of whole device pixels, as many as the display scale holds whole (one
    // below 200 %, two from 200 %, three from 300 %, ...), so that a glyph
    // stays crisp at fractional scales and never grows past its place; at
    // 100 % it is the image itself. Call it from the Paint handler.
    void drawGlyph(QPainter& painter, QPoint topLeft, const QImage& glyph) const;

signals:
    void Paint(QPainter& painter);
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
