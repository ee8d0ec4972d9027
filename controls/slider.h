#pragma once

#include <QAccessible>
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
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
    ~Slider() override;
    // The indicator at the position the last move reached, as a screen
    // reader on Qt before 6.5 heard it; 0 before the first.
    QAccessible::Id positionHeard() const { return positionHeard_; }
#endif

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
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
    // A screen reader on Qt before 6.5 hears a move as a focus on its position.
    void announcePosition();
    QAccessible::Id positionHeard_ = 0;
#endif
};
