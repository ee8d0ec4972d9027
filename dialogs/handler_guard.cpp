#include "handler_guard.h"

#include "user_dialogs.h"

#include <exception>

namespace {

void report(UserDialogs& dialogs, const QString& what)
{
    dialogs.messageBox(QStringLiteral("Laufzeitfehler: %1\n\nDer Font im Speicher bleibt erhalten.").arg(what),
                       UserDialogs::Buttons::Ok, UserDialogs::Icon::Exclamation, programTitle);
}

}  // namespace

void runGuarded(UserDialogs& dialogs, const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& failure) {
        report(dialogs, QString::fromUtf8(failure.what()));
    } catch (...) {
        report(dialogs, QStringLiteral("unbekannter Fehler"));
    }
}
