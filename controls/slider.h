#pragma once

#include <QSlider>

// The vertical character slider, its least value at the top. It tells a move
// the person made apart from a value set by the program: the person's move
// raises Click, a value set by the program raises Change. A Click handler runs
// the Change handling itself, so that a move is handled once.
class Slider : public QSlider
{
    Q_OBJECT

public:
    explicit Slider(QWidget* parent = nullptr);

signals:
    // The person moved the slider, by mouse, wheel or keys; value() already
    // holds the new position.
    void Click();
    // The program set a new value.
    void Change();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool personIsMoving_ = false;
};
