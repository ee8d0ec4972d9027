#pragma once

#include <QProxyStyle>

// Qt's Fusion look, fitted to the small controls of the window design: the
// drop-down arrow of a list box takes less room, so that an entry such as
// "<keine>" shows whole in a list box 57 pixels wide.
class DesignStyle : public QProxyStyle
{
    Q_OBJECT

public:
    DesignStyle();

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl subControl,
                         const QWidget* widget) const override;
};
