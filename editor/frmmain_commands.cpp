// Load, save, quit and the overview. No way out of the editor, nor a load,
// discards unsaved changes without asking, and "unsaved" is cleared only by a
// save that wrote the file.

#include "frmmain.h"

#include "combo_box.h"
#include "frmpreview.h"
#include "handler_guard.h"
#include "slider.h"
#include "user_dialogs.h"

#include <QCloseEvent>
#include <QLineEdit>

namespace {

const QString unsavedWarning = QStringLiteral("Achtung: Daten sind nicht gespeichert");

}  // namespace

void frmMain::cmdLoad_Click()
{
    if (!mayDiscardChanges(QStringLiteral("Laden"), QStringLiteral("Sollen die Daten vor dem Laden gespeichert werden?")))
        return;

    const std::int16_t height = font.loadFontFile(*dialogs);
    if (height <= 0)
        return;

    font.charHeight = std::uint8_t(height);
    font.charWidth = modCode::pixelsPerRow;
    for (int index = 0; index < cboZeichenhoehe->count(); ++index) {
        if (cboZeichenhoehe->List(index).toInt() == height) {
            cboZeichenhoehe->setListIndex(index);
            break;
        }
    }
    font.unpackFontTable();
    // Through 0, so that "A" is shown from the new glyphs even when the
    // slider already stands on it.
    sldSelectCharacter->setValue(0);
    sldSelectCharacter->setValue(65);
    font.setModified(truthFalse);
}

void frmMain::cmdSave_Click()
{
    saveFont();
}

// Closing the window asks about unsaved changes, whichever way it is closed.
void frmMain::cmdBeenden_Click()
{
    close();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    event->ignore();
    runGuarded(*dialogs, [&] {
        if (mayDiscardChanges(QStringLiteral("Beenden"),
                              QStringLiteral("Sollen die Daten vor dem Beenden gespeichert werden?")))
            event->accept();
    });
}

void frmMain::cmdPreview_Click()
{
    storeCurrentChar(txtWindowsChar->text());
    frmPreview overview(font, *dialogs, this);
    overview.exec();
}

// Stores the glyph on show, then packs and saves the font. Returns whether the
// file was written; only then are the changes saved.
bool frmMain::saveFont()
{
    storeCurrentChar(txtWindowsChar->text());
    font.packFontTable();
    if (!font.saveFontFile(*dialogs))
        return false;
    font.setModified(truthFalse);
    return true;
}

// With unsaved changes, asks whether to save them first. Returns whether the
// command may go on: the changes were saved, or the person chose not to save.
bool frmMain::mayDiscardChanges(const QString& title, const QString& question)
{
    if (!font.isModified())
        return true;
    switch (dialogs->messageBox(unsavedWarning + QLatin1Char('\n') + question, UserDialogs::Buttons::YesNoCancel,
                                UserDialogs::Icon::None, title)) {
    case UserDialogs::Answer::Yes:
        return saveFont();
    case UserDialogs::Answer::No:
        return true;
    case UserDialogs::Answer::Ok:
    case UserDialogs::Answer::Cancel:
        break;
    }
    return false;
}
