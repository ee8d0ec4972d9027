#pragma once

#include <QString>

#include <optional>

// What the program asks the person: a file to open or to save, and message
// boxes. The editor owns the one instance; the real one shows Qt's dialogs, and
// the tests put in one that plays back scripted answers.
class UserDialogs
{
public:
    // The file chooser's settings, the same for opening and saving.
    struct FileRequest
    {
        QString title;
        // Entries of description and pattern, all separated by '|':
        // "Textdateien (*.FNT)|*.fnt|Alle Dateien (*.*)|*.*".
        QString filter;
        QString fileName;  // preset in the name field; empty for none
    };

    enum class Buttons { Ok, YesNoCancel };
    enum class Icon { None, Exclamation };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~UserDialogs();

    // Return the chosen path, or nothing when the person cancelled.
    virtual std::optional<QString> showOpen(const FileRequest& request) = 0;
    virtual std::optional<QString> showSave(const FileRequest& request) = 0;

    // A modal message box; returns the button the person pressed (closing a
    // Yes/No/Cancel box by its close box counts as Cancel).
    virtual Answer messageBox(const QString& prompt, Buttons buttons, Icon icon, const QString& title) = 0;
};

// The title of every box that names no title of its own.
inline const QString programTitle = QStringLiteral("Glyphora");
