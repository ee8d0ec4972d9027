#include "enter_key.h"

#include <QAbstractButton>
#include <QKeyEvent>

bool clickOnEnter(QAbstractButton& button, QKeyEvent& event)
{
    if (event.key() != Qt::Key_Return && event.key() != Qt::Key_Enter)
        return false;
    if (!event.isAutoRepeat())
        button.click();
    event.accept();
    return true;
}
