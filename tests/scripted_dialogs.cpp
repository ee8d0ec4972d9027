#include "scripted_dialogs.h"

std::optional<QString> ScriptedDialogs::showOpen(const FileRequest& request)
{
    return nextFile(FileDialog::Kind::Open, request);
}

std::optional<QString> ScriptedDialogs::showSave(const FileRequest& request)
{
    return nextFile(FileDialog::Kind::Save, request);
}

std::optional<QString> ScriptedDialogs::nextFile(FileDialog::Kind kind, const FileRequest& request)
{
    fileDialogs.push_back({kind, request});
    if (fileAnswers.empty()) {
        unanswered << request.title;
        return std::nullopt;
    }
    const std::optional<QString> answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

UserDialogs::Answer ScriptedDialogs::messageBox(const QString& prompt, Buttons buttons, Icon icon, const QString& title)
{
    messageBoxes.push_back({prompt, buttons, icon, title});
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    if (boxAnswers.empty()) {
        unanswered << prompt;
        return Answer::Cancel;
    }
    const Answer answer = boxAnswers.front();
    boxAnswers.pop_front();
    return answer;
}
