#pragma once

#include <QSlider>

// The vertical character slider, its least value at the top. It tells a move
// the person made apart from a value set by the program: the person's move
// raises Click and then Change, a value set by the program only Change.
class Slider : public QSlider
{
    Q_OBJECT

public:
    explicit Slider(QWidget* parent = nullptr);

signals:
    // The person moved the slider, by mouse, wheel or keys; value() already
    // holds the new position.
    void Click();
    // The value changed, whoever changed it.
    void Change();

private:
    bool personIsMoving_ = false;
};
