#include "slider.h"

#include <QKeyEvent>

#include <utility>

Slider::Slider(QWidget* parent)
    : QSlider(Qt::Vertical, parent)
{
    // Least value at the top; the Up key and the wheel turned up move towards it.
    setInvertedAppearance(true);
    setInvertedControls(true);

    // Every move by the person passes through an action, which Qt raises
    // before it sets the new value; a value set by the program raises none.
    connect(this, &QAbstractSlider::actionTriggered, this,
            [this] { personIsMoving_ = sliderPosition() != value(); });
    connect(this, &QAbstractSlider::valueChanged, this, [this] {
        if (std::exchange(personIsMoving_, false))
            emit Click();
        else
            emit Change();
    });
}

// Left goes to the previous code as Up does, Right to the next as Down does.
// Qt ties the horizontal keys to the inverted appearance, which would send
// them the other way.
void Slider::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
        triggerAction(SliderSingleStepSub);
        break;
    case Qt::Key_Right:
        triggerAction(SliderSingleStepAdd);
        break;
    default:
        QSlider::keyPressEvent(event);
        return;
    }
    event->accept();
}
