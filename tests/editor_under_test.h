#pragma once

#include "frmmain.h"
#include "scripted_dialogs.h"

#include <QCoreApplication>
#include <QImage>

#include <memory>

class PictureBox;
class PixelButton;
class Slider;

// The real editor window with scripted dialogs, shown, and ways to reach its
// controls by their names.
class EditorUnderTest
{
public:
    explicit EditorUnderTest(const QString& programDirectory = QCoreApplication::applicationDirPath());

    frmMain& window() { return *editor; }
    modCode& font() { return editor->fontStore(); }
    ScriptedDialogs& dialogs() { return *script; }

    // The control of that object name; fails the test run when there is none.
    template <typename Control>
    Control* control(const QString& name) const
    {
        auto* found = editor->findChild<Control*>(name);
        if (!found)
            qFatal("no control named %s", qPrintable(name));
        return found;
    }

    PixelButton* pixel(int index) const;
    void clickPixel(int index);
    void click(const QString& buttonName);

private:
    ScriptedDialogs* script;
    std::unique_ptr<frmMain> editor;
};

// Where a click hits the slider's groove: the tick marks push it off the centre.
int grooveCentreX(const Slider* slider);

// What a picture box shows inside its border, and one pixel of it as 0xRRGGBB.
QImage drawnPixels(PictureBox* box);
QRgb rgbAt(const QImage& image, int x, int y);
