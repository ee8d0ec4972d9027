#pragma once

#include "user_dialogs.h"

class QWidget;

// Asks the person through Qt's own file dialog and message boxes.
class QtUserDialogs : public UserDialogs
{
public:
    explicit QtUserDialogs(QWidget* parent);

    std::optional<QString> showOpen(const FileRequest& request) override;
    std::optional<QString> showSave(const FileRequest& request) override;
    Answer messageBox(const QString& prompt, Buttons buttons, Icon icon, const QString& title) override;

private:
    std::optional<QString> showFileDialog(const FileRequest& request, bool forSaving);
    QWidget* owner() const;

    QWidget* parentWindow;
};
