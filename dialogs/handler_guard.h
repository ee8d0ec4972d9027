#pragma once

#include <functional>

class UserDialogs;

// Runs one event handler. A failure inside it must neither end the program,
// losing the font in memory, nor unwind through Qt's event loop: it is reported
// in a message box titled "Glyphora" and the program keeps running.
void runGuarded(UserDialogs& dialogs, const std::function<void()>& handler);
