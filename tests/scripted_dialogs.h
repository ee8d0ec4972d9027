#pragma once

#include "user_dialogs.h"

#include <QStringList>

#include <deque>
#include <vector>

// Plays back the person's answers, queued by a test, and records everything
// that was asked. Boxes with only an OK button need no answer. A question with
// no answer queued is recorded in `unanswered` and answered with Cancel, so a
// test can tell it was unexpected.
class ScriptedDialogs : public UserDialogs
{
public:
    struct FileDialog
    {
        enum class Kind { Open, Save } kind;
        FileRequest request;
    };
    struct MessageBox
    {
        QString prompt;
        Buttons buttons;
        Icon icon;
        QString title;
    };

    // The next file dialogs: a path confirms, std::nullopt cancels.
    std::deque<std::optional<QString>> fileAnswers;
    std::deque<Answer> boxAnswers;  // for Yes/No/Cancel boxes only

    std::vector<FileDialog> fileDialogs;
    std::vector<MessageBox> messageBoxes;
    QStringList unanswered;

    std::optional<QString> showOpen(const FileRequest& request) override;
    std::optional<QString> showSave(const FileRequest& request) override;
    Answer messageBox(const QString& prompt, Buttons buttons, Icon icon, const QString& title) override;

private:
    std::optional<QString> nextFile(FileDialog::Kind kind, const FileRequest& request);
};
