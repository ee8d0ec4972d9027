#pragma once

#include <QAbstractButton>
#include <QColor>

// A push button without a caption that shows its back colour, as the pixels
// of the glyph grid do: black for an inked pixel, white for a blank one.
class PixelButton : public QAbstractButton
{
    Q_OBJECT

public:
    explicit PixelButton(QWidget* parent = nullptr);

    QColor backColor() const { return backColor_; }
    void setBackColor(QColor color);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QColor backColor_ = Qt::white;
};
