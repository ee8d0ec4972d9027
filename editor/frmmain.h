#pragma once

#include "handler_guard.h"
#include "modcode.h"
#include "picture_clip.h"
#include "user_dialogs.h"

#include <QCoreApplication>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>

class ComboBox;
class CommandButton;
class Frame;
class PictureBox;
class PixelButton;
class Slider;
class QLabel;
class QLineEdit;
class QPainter;

// The editor window: the pixel grid of the current glyph, the character
// slider with the glyph's codes and previews, the font geometry, the two line
// markers, and the load, save, quit and overview commands.
//
// It owns the font store and the dialogs through which it asks the person.
// Every control has its own name as its object name.
class frmMain : public QWidget
{
    Q_OBJECT

public:
    // Without replacement dialogs the window asks through Qt's own. The
    // reference bitmap is read from `bitmapDirectory`.
    explicit frmMain(std::unique_ptr<UserDialogs> replacementDialogs = nullptr,
                     const QString& bitmapDirectory = QCoreApplication::applicationDirPath());

    modCode& fontStore() { return font; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Building the window (frmmain_layout.cpp)
    void createControls();
    void createPixelGrid();
    void connectHandlers();

    // Start-up (frmmain_startup.cpp)
    void Form_Load();
    void loadReferenceBitmap();

    // Pixel grid (frmmain_pixel_grid.cpp)
    void setCurrentChar(const QString& text);
    void storeCurrentChar(const QString& text);
    void cmdPixel_Click(int Index);
    void cmdPixel_Arrow(int Index, int rowStep, int columnStep);
    void paintGridRow(int row);
    PixelButton* gridPixel(int row, int column) const;

    // Character selection (frmmain_character_selection.cpp)
    void sldSelectCharacter_Change();
    void sldSelectCharacter_Click();
    void txtWindowsChar_Change();

    // Reference glyph and glyph preview (frmmain_previews.cpp)
    void paintText();
    void Picture1_Paint(QPainter& painter);
    void pctPreview_Click();
    void pctPreview_Paint(QPainter& painter);

    // Font geometry (frmmain_geometry.cpp)
    void cboZeichenbreite_Click();
    void cboZeichenbreite_Change();
    void cboZeichenhoehe_Click();
    void cboZeichenhoehe_Change();
    void layOutPixelGrid(int shownRows);

    // Baseline and guide line (frmmain_line_markers.cpp)
    void cboBasislinie_Click();
    void cboBasislinie_Change();
    void cboHilfslinie_Click();
    void cboHilfslinie_Change();
    void applyMarkerRule(ComboBox* rowList, const QLabel* caption, QWidget* marker);

    // Window commands (frmmain_commands.cpp)
    void cmdLoad_Click();
    void cmdSave_Click();
    void cmdBeenden_Click();
    void cmdPreview_Click();
    bool saveFont();
    bool mayDiscardChanges(const QString& title, const QString& question);

    modCode font;
    std::unique_ptr<UserDialogs> dialogs;
    // The guarded handlers' connections end with these: made after the
    // dialogs the handlers report to, and gone before them.
    QObject handlerContext;
    PaintHandlerGuard pctPreviewPaintGuard{*dialogs};
    PaintHandlerGuard Picture1PaintGuard{*dialogs};
    QString programDirectory;

    // The code of the glyph the grid shows.
    std::uint8_t currentCode = 0;
    // Whether each grid row shows the current glyph. Rows at or beyond the
    // height keep their colours while other glyphs are shown, so a row that
    // becomes visible again is repainted unless it still shows this glyph.
    std::array<bool, modCode::rowsPerGlyph> rowShowsCurrentGlyph{};

    Frame* Frame2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    ComboBox* cboZeichenbreite = nullptr;
    ComboBox* cboZeichenhoehe = nullptr;

    Frame* Frame1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label3 = nullptr;
    ComboBox* cboHilfslinie = nullptr;
    ComboBox* cboBasislinie = nullptr;

    Frame* Frame3 = nullptr;
    Slider* sldSelectCharacter = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* lblCurrentChar = nullptr;
    QLabel* lblWinChar = nullptr;
    QLabel* Label5 = nullptr;
    PictureBox* pctPreview = nullptr;
    QLabel* Label9 = nullptr;
    PictureBox* Picture1 = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* txtWindowsChar = nullptr;
    QLabel* Image1 = nullptr;
    PictureClip PictureClip1;

    Frame* fraZeichendef = nullptr;
    // Row by row: button pixelsPerRow × row + column.
    std::array<PixelButton*, modCode::rowsPerGlyph * modCode::pixelsPerRow> cmdPixel{};
    QWidget* shpBasislinie = nullptr;
    QWidget* shpHilfslinie = nullptr;

    CommandButton* cmdPreview = nullptr;
    CommandButton* cmdLoad = nullptr;
    CommandButton* cmdSave = nullptr;
    CommandButton* cmdBeenden = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label6 = nullptr;
};
