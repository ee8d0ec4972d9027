#include "frmmain.h"

#include "combo_box.h"
#include "slider.h"
#include "user_dialogs.h"

#include <QDir>
#include <QImageReader>
#include <QLineEdit>

namespace {

const QString referenceBitmapName = QStringLiteral("ASCII8X14.BMP");

}  // namespace

// Runs once, when the window is created and before it is first shown. The
// default choices go through the controls, so they run the same handling as
// the person's own choices.
void frmMain::Form_Load()
{
    font.fontFileName.clear();
    loadReferenceBitmap();

    txtWindowsChar->setEnabled(false);
    txtWindowsChar_Change();

    cboZeichenhoehe->clear();
    cboBasislinie->clear();
    cboHilfslinie->clear();
    const QString noLine = QStringLiteral("<keine>");
    cboBasislinie->addItem(noLine);
    cboHilfslinie->addItem(noLine);
    for (int n = 1; n <= modCode::maxCharHeight; ++n) {
        cboZeichenhoehe->addItem(QString::number(n));
        cboBasislinie->addItem(QString::number(n));
        cboHilfslinie->addItem(QString::number(n));
    }
    // A list box filled from empty selects its first entry by itself; the
    // design's lists start with no selection, so that each choice below is a
    // change and runs its handling.
    for (ComboBox* list : {cboZeichenhoehe, cboBasislinie, cboHilfslinie})
        list->setCurrentIndex(-1);

    cboZeichenhoehe->setListIndex(7);
    cboBasislinie->setListIndex(0);
    cboHilfslinie->setListIndex(0);

    cboZeichenbreite->clear();
    cboZeichenbreite->addItem(QString::number(modCode::pixelsPerRow));
    cboZeichenbreite->setCurrentIndex(-1);
    cboZeichenbreite->setListIndex(0);

    sldSelectCharacter->setValue(65);
    font.setModified(truthFalse);
}

// The reference glyphs: one strip of 256 cells running across, cell k showing
// device character k. Without the bitmap the editor works on, showing no
// reference glyphs.
void frmMain::loadReferenceBitmap()
{
    const QString path = QDir(programDirectory).filePath(referenceBitmapName);
    QImageReader reader(path);
    const QImage bitmap = reader.read();
    if (bitmap.isNull()) {
        dialogs->messageBox(QStringLiteral("Die Referenzzeichen „%1“ konnten nicht geladen werden:\n%2\n\n"
                                           "Der Editor arbeitet ohne Referenzzeichen weiter.")
                                .arg(QDir::toNativeSeparators(path), reader.errorString()),
                            UserDialogs::Buttons::Ok, UserDialogs::Icon::Exclamation, programTitle);
        return;
    }
    PictureClip1.setPicture(bitmap);
    PictureClip1.setCols(256);
    PictureClip1.setRows(1);
}
