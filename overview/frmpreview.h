#pragma once

#include "handler_guard.h"

#include <QDialog>

#include <array>

class modCode;
class PictureBox;
class UserDialogs;
class QLabel;
class QPainter;
class QPushButton;

// All 256 glyphs of the font at a glance, one screen pixel per glyph pixel,
// in 8 lines of 32, with the font's file name above them. Shown modally and
// created anew at every opening; it only reads the font.
class frmPreview : public QDialog
{
    Q_OBJECT

public:
    frmPreview(const modCode& editorFont, UserDialogs& editorDialogs, QWidget* parent = nullptr);

private:
    void Form_Load();
    void pctTotalPreview_Paint(QPainter& painter);
    void OKButton_Click();

    const modCode& font;
    UserDialogs& dialogs;
    // The paint connection ends with it, before the picture goes.
    PaintHandlerGuard pctTotalPreviewPaintGuard{dialogs};

    QPushButton* OKButton = nullptr;
    PictureBox* pctTotalPreview = nullptr;
    std::array<QLabel*, 8> LabelN{};
    QLabel* Label1 = nullptr;
    QLabel* lblFileName = nullptr;
};
