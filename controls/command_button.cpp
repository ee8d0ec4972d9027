#include "command_button.h"

#include "enter_key.h"

CommandButton::CommandButton(QWidget* parent)
    : QPushButton(parent)
{
    setAutoDefault(false);
}

void CommandButton::keyPressEvent(QKeyEvent* event)
{
    if (!clickOnEnter(*this, *event))
        QPushButton::keyPressEvent(event);
}
