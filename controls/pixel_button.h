#pragma once

#include <QAbstractButton>
#include <QColor>

// A push button without a caption that shows its back colour, as the pixels
// of the glyph grid do: black for an inked pixel, white for a blank one. Its
// signals name it by its index in the grid, as one of a control array.
// Assistive technology reads its place and its colour as its name, and hears
// it as a toggle button that is checked while it is black, so that a screen
// reader announces the change of colour when it happens.
class PixelButton : public QAbstractButton
{
    Q_OBJECT

public:
    explicit PixelButton(QWidget* parent = nullptr, int index = 0);

    QColor backColor() const { return backColor_; }
    void setBackColor(QColor color);

    // Where the button stands, as in "Zeile 3, Spalte 5"; its accessible
    // name is this place followed by its colour: "Zeile 3, Spalte 5: schwarz".
    void setPlaceName(const QString& place);

    QSize sizeHint() const override;

signals:
    void Click(int Index);
    // An arrow key went to the focused button: a step of -1, 0 or 1 rows and
    // columns, for the owner to move the focus along its grid.
    void Arrow(int Index, int rowStep, int columnStep);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The checked state follows the colour alone, so a click leaves it to the
    // Click handler.
    void nextCheckState() override {}

private:
    void nameItsColour();

    int index_;
    QColor backColor_ = Qt::white;
    QString placeName_;
};
