#pragma once

#include <QAccessible>

// What assistive technology sees of a widget of class `Control`: an
// `Interface` made from it. For other classes the next factory is asked.
template <typename Control, typename Interface>
QAccessibleInterface* accessibleInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String(Control::staticMetaObject.className()) && object && object->isWidgetType())
        return new Interface(static_cast<Control*>(object));
    return nullptr;
}

// Called from each constructor of `Control`; installs the factory once.
template <typename Control, typename Interface>
void installAccessibleInterface()
{
    static const bool installed = (QAccessible::installFactory(accessibleInterface<Control, Interface>), true);
    Q_UNUSED(installed);
}
