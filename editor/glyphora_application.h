#pragma once

#include <QApplication>
#include <QTranslator>

// The application as the editor's windows expect it: Qt's own dialogs speak
// German, and the font is the small one the window layout was designed for.
class GlyphoraApplication : public QApplication
{
    Q_OBJECT

public:
    GlyphoraApplication(int& argc, char** argv);

private:
    QTranslator qtTranslation;
};
