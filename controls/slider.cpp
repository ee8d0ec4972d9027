#include "slider.h"

#include "accessible_factory.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QPointer>

#include <utility>

namespace {

#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
// The slider's indicator at the position a move reached, named as the slider
// is then, "66 (0x42) B"; each move makes a new one.
class PositionInterface : public QAccessibleInterface
{
public:
    explicit PositionInterface(Slider* slider)
        : slider_(slider)
        , name_(slider->accessibleName())
    {
    }

    bool isValid() const override { return slider_; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return slider_->window()->windowHandle(); }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(slider_); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text text) const override { return text == QAccessible::Name ? name_ : QString(); }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override { return parent()->rect(); }
    QAccessible::Role role() const override { return QAccessible::Indicator; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.focusable = state.focused = true;
        return state;
    }

private:
    QPointer<Slider> slider_;
    QString name_;
};
#endif

// A screen reader speaks a slider's value as a number unless it is given a
// text for it: the slider's accessible name names its position. Qt from 6.8
// hands it on as the "valuetext" attribute. Qt before 6.5 has no way for it,
// so a move focuses the indicator at the new position, the slider's one child.
// Otherwise as Qt's own interface of a slider.
class SliderInterface : public QAccessibleWidget,
                        public QAccessibleValueInterface
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    , public QAccessibleAttributesInterface
#endif
{
public:
    explicit SliderInterface(Slider* slider)
        : QAccessibleWidget(slider, QAccessible::Slider)
    {
        addControllingSignal(QStringLiteral("valueChanged(int)"));
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        if (type == QAccessible::AttributesInterface)
            return static_cast<QAccessibleAttributesInterface*>(this);
#endif
        return QAccessibleWidget::interface_cast(type);
    }

    QVariant currentValue() const override { return slider()->value(); }
    void setCurrentValue(const QVariant& value) override { slider()->setValue(value.toInt()); }
    QVariant maximumValue() const override { return slider()->maximum(); }
    QVariant minimumValue() const override { return slider()->minimum(); }
    QVariant minimumStepSize() const override { return slider()->singleStep(); }

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QList<QAccessible::Attribute> attributeKeys() const override { return {QAccessible::Attribute::Custom}; }
    QVariant attributeValue(QAccessible::Attribute key) const override
    {
        if (key != QAccessible::Attribute::Custom)
            return {};
        return QVariant::fromValue(QHash<QString, QString>{{QStringLiteral("valuetext"), slider()->accessibleName()}});
    }
#elif QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
    int childCount() const override { return slider()->positionHeard() ? 1 : 0; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::accessibleInterface(slider()->positionHeard()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && child == QAccessible::accessibleInterface(slider()->positionHeard()) ? 0 : -1;
    }
#endif

private:
    Slider* slider() const { return static_cast<Slider*>(widget()); }
};


}  // namespace

Slider::Slider(QWidget* parent)
    : QSlider(Qt::Vertical, parent)
{
    installAccessibleInterface<Slider, SliderInterface>();

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
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
        announcePosition();
#endif
    });
}

#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
Slider::~Slider()
{
    if (positionHeard_)
        QAccessible::deleteAccessibleInterface(positionHeard_);
}

// Once the handlers have named the new position.
void Slider::announcePosition()
{
    if (!hasFocus() || !QAccessible::isActive())
        return;
    auto* position = new PositionInterface(this);
    const QAccessible::Id positionId = QAccessible::registerAccessibleInterface(position);
    QAccessibleEvent focus(position, QAccessible::Focus);
    if (positionHeard_)
        QAccessible::deleteAccessibleInterface(positionHeard_);
    positionHeard_ = positionId;
    QAccessible::updateAccessibility(&focus);
}
#endif

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
