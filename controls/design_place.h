#pragma once

#include "label.h"

#include <QAnyStringView>
#include <QRect>
#include <QWidget>

// A new control at its place in the window design: inside `container`, with
// `name` as its object name and `design` as its geometry there.
template <typename Control>
Control* place(QWidget* container, QAnyStringView name, QRect design)
{
    auto* control = new Control(container);
    control->setObjectName(name);
    control->setGeometry(design);
    return control;
}

inline Label* placeLabel(QWidget* container, QAnyStringView name, const QString& caption, QRect design)
{
    auto* label = place<Label>(container, name, design);
    label->setText(caption);
    return label;
}
