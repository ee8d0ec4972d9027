#pragma once

#include <QObject>

#include <functional>

class UserDialogs;
class QPainter;

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
    explicit PaintHandlerGuard(UserDialogs& reportTo) : dialogs(reportTo) {}

    void run(const std::function<void()>& paint);

private:
    UserDialogs& dialogs;
    bool failing = false;
};

// A slot that runs `handler` of `window` with the signal's arguments, guarded
// by runGuarded.
template <typename Window, typename... Args>
auto guardedSlot(Window* window, UserDialogs& dialogs, void (Window::*handler)(Args...))
{
    return [window, &dialogs, handler](Args... args) { runGuarded(dialogs, [&] { (window->*handler)(args...); }); };
}

// A slot for a picture's Paint signal that runs `handler` of `window`,
// guarded by `paintGuard`.
template <typename Window>
auto guardedSlot(Window* window, PaintHandlerGuard& paintGuard, void (Window::*handler)(QPainter&))
{
    return [window, &paintGuard, handler](QPainter& painter) { paintGuard.run([&] { (window->*handler)(painter); }); };
}
