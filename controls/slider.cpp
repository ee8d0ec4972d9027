#include "slider.h"

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
