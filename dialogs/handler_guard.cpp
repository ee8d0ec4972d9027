#include "handler_guard.h"

#include "user_dialogs.h"

#include <exception>
#include <optional>

namespace {

// What went wrong in `handler`; nothing when it ran through.
std::optional<QString> failureOf(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& failure) {
        return QString::fromUtf8(failure.what());
    } catch (...) {
        return QStringLiteral("unbekannter Fehler");
    }
    return std::nullopt;
}

void report(UserDialogs& dialogs, const QString& what)
{
    dialogs.messageBox(QStringLiteral("Laufzeitfehler: %1\n\nDer Font im Speicher bleibt erhalten.").arg(what),
                       UserDialogs::Buttons::Ok, UserDialogs::Icon::Exclamation, programTitle);
}

}  // namespace

void runGuarded(UserDialogs& dialogs, const std::function<void()>& handler)
{
    if (const std::optional<QString> failure = failureOf(handler))
        report(dialogs, *failure);
}

void PaintHandlerGuard::run(const std::function<void()>& paint)
{
    const std::optional<QString> failure = failureOf(paint);
    const bool startsFailing = failure && !failing;
    failing = failure.has_value();
    if (startsFailing)
        QMetaObject::invokeMethod(this, [this, what = *failure] { report(dialogs, what); }, Qt::QueuedConnection);
}
