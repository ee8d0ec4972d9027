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

signals:
    void Paint(QPainter& painter);
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
