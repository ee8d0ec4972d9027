#pragma once

#include <QPushButton>

// A push button of a window that is not a dialog: Enter clicks it when it has
// the focus, as Space does, and it never becomes the window's default button,
// so its look stays that of a plain button.
class CommandButton : public QPushButton
{
    Q_OBJECT

public:
    explicit CommandButton(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
