#pragma once

class QAbstractButton;
class QKeyEvent;

// Enter, on the main keyboard or on the keypad, clicks a focused button as
// Space does. Holding it down clicks once. Returns whether the key was Enter,
// so that the button hands any other key on to its own handling.
bool clickOnEnter(QAbstractButton& button, QKeyEvent& event);
