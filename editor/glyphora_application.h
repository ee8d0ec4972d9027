#pragma once

#include <QApplication>
#include <QTranslator>

// The application as the editor's windows expect it: Qt's own dialogs speak
// German, the font is the small one the window layout was designed for, the
// windows carry the program's icon and belong to its desktop entry, and a
// file-size limit makes a save fail instead of ending the program.
class GlyphoraApplication : public QApplication
{
    Q_OBJECT

public:
    GlyphoraApplication(int& argc, char** argv);

private:
    QTranslator qtTranslation;
};
