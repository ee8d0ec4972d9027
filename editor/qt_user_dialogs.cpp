#include "qt_user_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>

namespace {

// Turns "Description|pattern|Description|pattern" into Qt's name filters.
// The description is shown as it is; the pattern, in parentheses behind it,
// is hidden by HideNameFilterDetails. "*.*" means every file, as it does on
// Windows, also files without a dot in their name.
QStringList nameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString pattern = parts[i + 1] == QLatin1String("*.*") ? QStringLiteral("*") : parts[i + 1];
        filters << parts[i] + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return filters;
}

// A message box without an owner window opens in the middle of the screen.
// Qt's own placement would allow for a window frame it cannot know before the
// first window shows, and so put the box well above the middle.
class ScreenCentredMessageBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);  // sizes the box to its text and places it
        if (parentWidget())
            return;
        // The frame as far as it is known yet; before the first window shows,
        // the window manager may not have told its size.
        QRect frame = frameGeometry();
        frame.moveCenter(screen()->availableGeometry().center());
        move(frame.topLeft());
    }
};

}  // namespace

QtUserDialogs::QtUserDialogs(QWidget* parent)
    : parentWindow(parent)
{
}

std::optional<QString> QtUserDialogs::showOpen(const FileRequest& request)
{
    return showFileDialog(request, false);
}

std::optional<QString> QtUserDialogs::showSave(const FileRequest& request)
{
    return showFileDialog(request, true);
}

std::optional<QString> QtUserDialogs::showFileDialog(const FileRequest& request, bool forSaving)
{
    QFileDialog dialog(owner(), request.title);
    // Qt's own dialog: its name filters match whatever the case of the
    // extension, and it looks the same on every desktop.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Opening takes any name too: the program answers a name of no existing
    // file itself, with the full path, and asks again.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(nameFilters(request.filter));
    // The folder and the bare name, not the full path: preset with a full
    // path, the dialog stops taking Return on a typed path after a load.
    if (!request.fileName.isEmpty()) {
        const QFileInfo preset(request.fileName);
        if (preset.path() != QLatin1String("."))
            dialog.setDirectory(preset.absolutePath());
        dialog.selectFile(preset.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

// A dialog opens over the middle of its parent window, or of the screen when
// it has none. A parent not yet on the screen, as the editor is while it
// starts, would put the dialog in the screen's corner.
QWidget* QtUserDialogs::owner() const
{
    return parentWindow && parentWindow->isVisible() ? parentWindow : nullptr;
}

UserDialogs::Answer QtUserDialogs::messageBox(const QString& prompt, Buttons buttons, Icon icon, const QString& title)
{
    ScreenCentredMessageBox box(icon == Icon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon, title, prompt,
                    buttons == Buttons::Ok ? QMessageBox::Ok : QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    owner());
    if (buttons == Buttons::YesNoCancel)
        box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        return Answer::Cancel;
    }
}
