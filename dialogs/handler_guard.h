#pragma once

#include <QObject>

#include <functional>

class UserDialogs;

// Runs one event handler. A failure inside it must neither end the program,
// losing the font in memory, nor unwind through Qt's event loop: it is reported
// in a message box titled "Glyphora" and the program keeps running.
void runGuarded(UserDialogs& dialogs, const std::function<void()>& handler);

// Runs the Paint handler of one picture. A failure is reported as runGuarded
// reports it, but only once the paint is over: a modal box opened inside a
// paint would run an event loop in the middle of it. While the handler keeps
// failing, its repaints (the one after the box closes among them) report
// nothing more; a failure after a paint that succeeded is reported again.
class PaintHandlerGuard : public QObject
{
public:
    explicit PaintHandlerGuard(UserDialogs& reportTo);

    void run(const std::function<void()>& paint);

private:
    UserDialogs& dialogs;
    bool failing = false;
};
