#include "design_style.h"

#include <QStyleFactory>
#include <QStyleOptionComplex>

namespace {

constexpr int comboArrowWidth = 13;
constexpr int comboFrameWidth = 2;

}  // namespace

DesignStyle::DesignStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{
}

QRect DesignStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl subControl,
                                  const QWidget* widget) const
{
    if (control != CC_ComboBox)
        return QProxyStyle::subControlRect(control, option, subControl, widget);

    const QRect frame = option->rect;
    switch (subControl) {
    case SC_ComboBoxArrow:
        return {frame.right() - comboArrowWidth, frame.top(), comboArrowWidth, frame.height()};
    case SC_ComboBoxEditField:
        return frame.adjusted(comboFrameWidth + 1, comboFrameWidth, -(comboArrowWidth + 1), -comboFrameWidth);
    default:
        return QProxyStyle::subControlRect(control, option, subControl, widget);
    }
}
