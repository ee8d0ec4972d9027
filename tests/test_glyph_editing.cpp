// Editing a glyph: the pixel grid as the working copy of the current
// character, choosing another character with the slider (which stores the
// one being left), the code display, the glyph preview and the reference
// glyph.

#include "editor_under_test.h"

#include "combo_box.h"
#include "glyphora_test_main.h"
#include "picture_box.h"
#include "picture_clip.h"
#include "pixel_button.h"
#include "slider.h"
#include "test_files.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>

namespace {

using GlyphBuffer = decltype(modCode::glyphBuffer);

constexpr int rowsPerGlyph = 32;

Slider* slider(const EditorUnderTest& editor)
{
    return editor.control<Slider>(QStringLiteral("sldSelectCharacter"));
}

QString windowsChar(const EditorUnderTest& editor)
{
    return editor.control<QLineEdit>(QStringLiteral("txtWindowsChar"))->text();
}

QString codeLabel(const EditorUnderTest& editor)
{
    return editor.control<QLabel>(QStringLiteral("lblCurrentChar"))->text();
}

// Whether the visible rows of the grid show `code`'s glyph from the buffer.
bool gridShows(EditorUnderTest& editor, int code)
{
    for (int row = 0; row < editor.font().charHeight; ++row)
        if (editor.gridRow(row) != editor.font().glyphBuffer[std::size_t(code * rowsPerGlyph + row)])
            return false;
    return true;
}

// Shows `code` the way a load does, through 0: no glyph is stored.
void showByProgram(EditorUnderTest& editor, int code)
{
    slider(editor)->setValue(code == 0 ? 1 : 0);
    slider(editor)->setValue(code);
}

// A font in which every row byte differs from its neighbours.
const QByteArray pattern = patternedBytes(256 * rowsPerGlyph);

void fillWithPattern(EditorUnderTest& editor)
{
    std::copy(pattern.begin(), pattern.end(), editor.font().glyphBuffer.begin());
}

// How many device pixels inside a pixel button's edges the window shows in
// another colour than the pixel's own: the focus mark, if any.
int markedPixels(const PixelButton* button)
{
    const QImage face = shownPixels(button, button->rect().adjusted(2, 2, -2, -2));
    int marked = 0;
    for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width(); ++x)
            marked += rgbAt(face, x, y) != (button->backColor().rgb() & 0xFFFFFF);
    return marked;
}

QPoint inGroove(Slider* slider, int y)
{
    return {sliderPart(slider, QStyle::SC_SliderGroove).center().x(), y};
}

}  // namespace

using Change = std::function<void(EditorUnderTest&)>;
Q_DECLARE_METATYPE(Change)

class TestGlyphEditing : public QObject
{
    Q_OBJECT

private slots:
    void rowByteIsPaintedAndStoredBitByBit_data();
    void rowByteIsPaintedAndStoredBitByBit();
    void clickingTwiceLeavesThePixelAndSetsTheFlag();
    void holdingEnterDownTogglesOnce();
    void screenShowsTheGlyphAfterEveryChange_data();
    void screenShowsTheGlyphAfterEveryChange();
    void personMovesStoreTheGlyphBeingLeft_data();
    void personMovesStoreTheGlyphBeingLeft();
    void programSettingsSkipTheStore();
    void showingAGlyphDoesNotYield();
    void codeZeroIsStoredFromTheEmptyText();
    void onlyExactBlackIsInked();
    void codeIsShownEverywhere_data();
    void codeIsShownEverywhere();
    void everyCodeIsStoredIntoItself();
    void pictureClipCutsEveryCellFromItsPlace();
    void draggingOverTheGridChangesNothing();
    void arrowKeysWalkTheShownGrid_data();
    void arrowKeysWalkTheShownGrid();
};

void TestGlyphEditing::rowByteIsPaintedAndStoredBitByBit_data()
{
    QTest::addColumn<int>("rowByte");
    for (int rowByte : {0x81, 0x80, 0x01, 0xC0, 0x5A, 0xFF})
        QTest::addRow("0x%02X", rowByte) << rowByte;
}

void TestGlyphEditing::rowByteIsPaintedAndStoredBitByBit()
{
    QFETCH(int, rowByte);

    EditorUnderTest editor;
    GlyphBuffer& buffer = editor.font().glyphBuffer;
    buffer[66 * rowsPerGlyph + 3] = std::uint8_t(rowByte);
    QTest::keyClick(slider(editor), Qt::Key_Down);
    QCOMPARE(slider(editor)->value(), 66);

    for (int column = 0; column < 8; ++column) {
        const bool inked = rowByte & (0x80 >> column);
        QCOMPARE(editor.pixel(3 * 8 + column)->backColor(), QColor(inked ? Qt::black : Qt::white));
        QCOMPARE(accessibleText(editor.pixel(3 * 8 + column)),
                 QStringLiteral("Zeile 4, Spalte %1: %2").arg(column + 1).arg(inked ? "schwarz" : "weiß"));
    }
    QCOMPARE(editor.gridRow(2), 0);
    QCOMPARE(editor.gridRow(4), 0);

    // Leaving the character writes the row back from the grid.
    buffer[66 * rowsPerGlyph + 3] = 0;
    QTest::keyClick(slider(editor), Qt::Key_Up);
    QCOMPARE(int(buffer[66 * rowsPerGlyph + 3]), rowByte);
}

void TestGlyphEditing::clickingTwiceLeavesThePixelAndSetsTheFlag()
{
    EditorUnderTest editor;
    editor.clickPixel(10);
    QCOMPARE(editor.pixel(10)->backColor(), QColor(Qt::black));
    QCOMPARE(accessibleText(editor.pixel(10)), QStringLiteral("Zeile 2, Spalte 3: schwarz"));
    // A toggle button, checked while black, so that the change is heard.
    QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(editor.pixel(10));
    QCOMPARE(heard->role(), QAccessible::CheckBox);
    QVERIFY(heard->state().checked);
    QCOMPARE(editor.font().isModified(), truthTrue);
    // Enter on the focused pixel is a click too.
    QVERIFY(editor.pixel(10)->hasFocus());
    QTest::keyClick(editor.pixel(10), Qt::Key_Return);
    QCOMPARE(editor.pixel(10)->backColor(), QColor(Qt::white));
    QCOMPARE(accessibleText(editor.pixel(10)), QStringLiteral("Zeile 2, Spalte 3: weiß"));
    QVERIFY(!heard->state().checked);
    QVERIFY(editor.font().isModified());
    // The grid alone holds the edits until a selection stores them.
    QCOMPARE(int(editor.font().glyphBuffer[65 * rowsPerGlyph + 1]), 0);
}

// The keyboard repeats a key held down: the presses after the first come
// marked as repeats, each after a release marked so too.
void TestGlyphEditing::holdingEnterDownTogglesOnce()
{
    EditorUnderTest editor;
    PixelButton* pixel = editor.pixel(20);
    pixel->setFocus();
    QTest::keyPress(pixel, Qt::Key_Return);
    for (int repeat = 0; repeat < 3; ++repeat) {
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
        QApplication::sendEvent(pixel, &release);
        QApplication::sendEvent(pixel, &press);
    }
    QTest::keyRelease(pixel, Qt::Key_Return);
    QCOMPARE(rgbAt(editor.shownGrid(), 4, 2), QRgb(0));
    QCOMPARE(editor.gridRow(2), 0x08);
}

// Each way a person changes what the grid shows, and what the window then
// shows of the glyph: the grid, the preview and the reference picture. The
// font holds a pattern, and "A" shows 8 of its rows; a load brings a font of
// 14 rows with the same pattern.
void TestGlyphEditing::screenShowsTheGlyphAfterEveryChange_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("height");
    QTest::addColumn<QList<int>>("toggled");  // pixels that differ from the rows shown of the glyph
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<bool>("modified");

    const auto key = [](Qt::Key pressed, int index) {
        return Change([pressed, index](EditorUnderTest& editor) {
            editor.pixel(index)->setFocus();
            QTest::keyClick(editor.pixel(index), pressed);
        });
    };
    const auto onSlider = [](const std::function<void(Slider*)>& move) {
        return Change([move](EditorUnderTest& editor) { move(slider(editor)); });
    };
    QTest::newRow("every pixel of a row clicked") << Change([](EditorUnderTest& editor) {
        for (int index = 24; index < 32; ++index)
            editor.clickPixel(index);
    }) << 65 << 8 << QList<int>{24, 25, 26, 27, 28, 29, 30, 31} << false << true;
    QTest::newRow("pixel by Space") << key(Qt::Key_Space, 23) << 65 << 8 << QList<int>{23} << false << true;
    QTest::newRow("pixel by Enter") << key(Qt::Key_Return, 56) << 65 << 8 << QList<int>{56} << false << true;
    QTest::newRow("slider by a key") << onSlider([](Slider* s) { QTest::keyClick(s, Qt::Key_Down); }) << 66 << 8
                                     << QList<int>() << false << false;
    QTest::newRow("slider by the wheel") << onSlider([](Slider* s) { turnWheel(s, -120); }) << 68 << 8 << QList<int>()
                                         << false << false;
    QTest::newRow("slider by a click on the groove")
        << onSlider([](Slider* s) { QTest::mouseClick(s, Qt::LeftButton, {}, inGroove(s, s->height() - 10)); }) << 81
        << 8 << QList<int>() << false << false;
    // Rows 2 to 7 hidden, with the glyph's and the clicked pixels.
    QTest::newRow("height by keys on the closed list") << Change([](EditorUnderTest& editor) {
        editor.clickPixel(17);
        editor.clickPixel(53);
        QCoreApplication::processEvents();  // the window draws before the person goes on
        auto* heights = editor.control<ComboBox>(QStringLiteral("cboZeichenhoehe"));
        heights->setFocus();
        QTest::keyClick(heights, Qt::Key_Home);
        QTest::keyClick(heights, Qt::Key_Down);
    }) << 65 << 2 << QList<int>{17, 53} << false << true;
    QTest::newRow("height lowered from the opened list") << Change([](EditorUnderTest& editor) {
        editor.clickPixel(17);
        editor.clickPixel(53);
        editor.font().setModified(truthFalse);
        QCoreApplication::processEvents();
        pickFromList(editor.control<ComboBox>(QStringLiteral("cboZeichenhoehe")), QStringLiteral("4"));
    }) << 65 << 4 << QList<int>{17, 53} << false << true;
    // Rows 8 to 15 come into sight with the glyph's own rows.
    QTest::newRow("height from the opened list") << Change([](EditorUnderTest& editor) {
        pickFromList(editor.control<ComboBox>(QStringLiteral("cboZeichenhoehe")), QStringLiteral("16"));
    }) << 65 << 16 << QList<int>() << false << true;
    // Rows 8 to 15 of "A", empty, come into sight, are edited and hidden
    // again: the next character keeps their colours.
    QTest::newRow("hidden rows edited, then another character") << Change([](EditorUnderTest& editor) {
        std::fill_n(editor.font().glyphBuffer.begin() + 65 * rowsPerGlyph + 8, 8, 0);
        auto* heights = editor.control<ComboBox>(QStringLiteral("cboZeichenhoehe"));
        pickFromList(heights, QStringLiteral("16"));
        for (int index : {10 * 8 + 2, 12 * 8 + 7, 13 * 8 + 4, 13 * 8 + 4, 1 * 8 + 1})
            editor.clickPixel(index);
        pickFromList(heights, QStringLiteral("8"));
        QTest::keyClick(slider(editor), Qt::Key_Down);
    }) << 66 << 8 << QList<int>{10 * 8 + 2, 12 * 8 + 7} << false << true;
    QTest::newRow("load") << Change([](EditorUnderTest& editor) { editor.click(QStringLiteral("cmdLoad")); }) << 65
                          << 14 << QList<int>() << true << false;
    QTest::newRow("back from the overview") << Change([](EditorUnderTest& editor) {
        editor.clickPixel(42);
        QTimer::singleShot(0, &editor.window(), [] {
            if (QWidget* overview = QApplication::activeModalWidget())
                QTest::mouseClick(overview->findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
        });
        editor.click(QStringLiteral("cmdPreview"));
    }) << 65 << 8 << QList<int>{42} << false << true;
}

void TestGlyphEditing::screenShowsTheGlyphAfterEveryChange()
{
    QFETCH(Change, change);
    QFETCH(int, code);
    QFETCH(int, height);
    QFETCH(QList<int>, toggled);
    QFETCH(bool, loaded);
    QFETCH(bool, modified);

    // The shipped bitmap has cells that look alike.
    const QImage strip = distinctCellStrip();
    QTemporaryDir folder;
    QVERIFY(strip.save(folder.filePath(QStringLiteral("ASCII8X14.BMP")), "BMP"));
    QVERIFY(writeFile(folder.filePath(QStringLiteral("font.fnt")), patternedBytes(256 * 14)));
    EditorUnderTest editor(folder.path());
    editor.dialogs().fileAnswers.push_back(folder.filePath(QStringLiteral("font.fnt")));
    fillWithPattern(editor);
    showByProgram(editor, 65);
    QCoreApplication::processEvents();  // drawn as the person sees it first

    change(editor);

    QCOMPARE(slider(editor)->value(), code);
    QCOMPARE(int(editor.font().charHeight), height);
    QCOMPARE(bool(editor.font().isModified()), modified);
    const QImage grid = editor.shownGrid();
    const QImage preview = editor.previewGlyph();
    const QImage reference = editor.referenceGlyph();
    QVERIFY(!preview.isNull() && !reference.isNull());
    QCOMPARE(grid.size(), QSize(8, height));
    const QRgb buttonFace =
        editor.control<PictureBox>(QStringLiteral("pctPreview"))->palette().color(QPalette::Button).rgb() & 0xFFFFFF;
    QVERIFY(buttonFace != 0xFFFFFF && buttonFace != 0);
    // The rows shown of this glyph: hidden rows keep them, rows never shown are white.
    const int rowsShown = std::max(8, height);
    for (int row = 0; row < 32; ++row) {
        for (int column = 0; column < 8; ++column) {
            const int rowByte = row >= rowsShown ? 0 : quint8(pattern[code * (loaded ? 14 : 32) + row]);
            const bool inked = bool(rowByte & (0x80 >> column)) != toggled.contains(8 * row + column);
            const QRgb colour = inked ? 0 : 0xFFFFFF;
            const QByteArray where = QStringLiteral("row %1, column %2").arg(row).arg(column).toLatin1();
            if (row < height)
                QVERIFY2(rgbAt(grid, column, row) == colour, "grid, " + where);
            QVERIFY2(rgbAt(preview, column, row) == (inked || row < height ? colour : buttonFace), "preview, " + where);
        }
    }
    QCOMPARE(firstDifference(reference, strip.copy(8 * code, 0, 8, 14)), QString());
}

void TestGlyphEditing::personMovesStoreTheGlyphBeingLeft_data()
{
    QTest::addColumn<std::function<void(Slider*)>>("move");
    QTest::addColumn<int>("newCode");

    QTest::newRow("Down") << std::function([](Slider* s) { QTest::keyClick(s, Qt::Key_Down); }) << 66;
    QTest::newRow("Up") << std::function([](Slider* s) { QTest::keyClick(s, Qt::Key_Up); }) << 64;
    QTest::newRow("Right") << std::function([](Slider* s) { QTest::keyClick(s, Qt::Key_Right); }) << 66;
    QTest::newRow("Left") << std::function([](Slider* s) { QTest::keyClick(s, Qt::Key_Left); }) << 64;
    QTest::newRow("PageDown") << std::function([](Slider* s) { QTest::keyClick(s, Qt::Key_PageDown); }) << 81;
    QTest::newRow("PageUp") << std::function([](Slider* s) { QTest::keyClick(s, Qt::Key_PageUp); }) << 49;
    QTest::newRow("End") << std::function([](Slider* s) { QTest::keyClick(s, Qt::Key_End); }) << 255;
    QTest::newRow("wheel down") << std::function([](Slider* s) { turnWheel(s, -120); }) << 68;
    QTest::newRow("wheel up") << std::function([](Slider* s) { turnWheel(s, 120); }) << 62;
    QTest::newRow("click below the handle")
        << std::function([](Slider* s) { QTest::mouseClick(s, Qt::LeftButton, {}, inGroove(s, s->height() - 10)); })
        << 81;
    QTest::newRow("middle click at the top")
        << std::function([](Slider* s) { QTest::mouseClick(s, Qt::MiddleButton, {}, inGroove(s, 0)); }) << 0;
}

void TestGlyphEditing::personMovesStoreTheGlyphBeingLeft()
{
    QFETCH(std::function<void(Slider*)>, move);
    QFETCH(int, newCode);

    EditorUnderTest editor;
    fillWithPattern(editor);
    showByProgram(editor, 65);
    QVERIFY(gridShows(editor, 65));

    editor.clickPixel(2 * 8 + 5);
    editor.clickPixel(7 * 8 + 0);
    GlyphBuffer expected = editor.font().glyphBuffer;
    expected[65 * rowsPerGlyph + 2] ^= 0x04;
    expected[65 * rowsPerGlyph + 7] ^= 0x80;

    slider(editor)->setFocus();
    const QStringList heard = heardWhile([&] { move(slider(editor)); });
    QCOMPARE(slider(editor)->value(), newCode);
    QCOMPARE(heard, QStringList{accessibleText(slider(editor))});
    // Only rows 0 to 7 of glyph 65 changed, with the two clicks.
    QVERIFY(editor.font().glyphBuffer == expected);
    QVERIFY(gridShows(editor, newCode));
    QCOMPARE(windowsChar(editor), newCode == 0 ? QString() : QString(QChar(newCode)));
    QVERIFY(codeLabel(editor).endsWith(QStringLiteral(" (0x%1)").arg(QString::number(newCode, 16).toUpper())));
    QVERIFY(editor.dialogs().messageBoxes.empty());
}

void TestGlyphEditing::programSettingsSkipTheStore()
{
    EditorUnderTest editor;
    editor.clickPixel(0);
    slider(editor)->setValue(66);
    slider(editor)->setValue(65);
    // The edit is gone from the grid and never reached the glyph.
    QCOMPARE(int(editor.font().glyphBuffer[65 * rowsPerGlyph]), 0);
    QCOMPARE(editor.gridRow(0), 0);
}

void TestGlyphEditing::showingAGlyphDoesNotYield()
{
    EditorUnderTest editor;
    for (int row = 0; row < 8; ++row)
        editor.font().glyphBuffer[66 * rowsPerGlyph + row] = 0xFF;

    // Whenever this runs, it must find one character shown whole, never
    // one half painted.
    bool ran = false;
    bool consistent = false;
    QTimer::singleShot(0, &editor.window(), [&] {
        ran = true;
        const int code = slider(editor)->value();
        consistent = windowsChar(editor) == QString(QChar(code)) && gridShows(editor, code);
    });
    QTest::keyClick(slider(editor), Qt::Key_Down);
    QVERIFY(gridShows(editor, 66));
    QTRY_VERIFY(ran);
    QVERIFY(consistent);
}

void TestGlyphEditing::codeZeroIsStoredFromTheEmptyText()
{
    EditorUnderTest editor;
    QTest::keyClick(slider(editor), Qt::Key_Home);
    QCOMPARE(slider(editor)->value(), 0);
    QCOMPARE(windowsChar(editor), QString());

    editor.clickPixel(8 + 6);
    QTest::keyClick(slider(editor), Qt::Key_Down);
    QCOMPARE(int(editor.font().glyphBuffer[1]), 0x02);
    QCOMPARE(int(editor.font().glyphBuffer[1 * rowsPerGlyph + 1]), 0);

    QTest::keyClick(slider(editor), Qt::Key_Up);
    QCOMPARE(editor.gridRow(1), 0x02);
}

void TestGlyphEditing::onlyExactBlackIsInked()
{
    EditorUnderTest editor;
    editor.clickPixel(0);
    editor.pixel(1)->setBackColor(QColor(0x10, 0, 0));
    editor.pixel(2)->setBackColor(QColor(0, 0, 1));
    QTest::keyClick(slider(editor), Qt::Key_Down);
    QCOMPARE(int(editor.font().glyphBuffer[65 * rowsPerGlyph]), 0x80);
}

// The code of the character as the label, the text box, assistive
// technology and the reference picture show it.
void TestGlyphEditing::codeIsShownEverywhere_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("spoken");  // the slider's accessible name
    QTest::addColumn<int>("cell");        // of the reference bitmap

    QTest::newRow("0 shows the blank") << 0 << " (0x0)" << "" << "0 (0x0)" << 32;
    QTest::newRow("1") << 1 << "1 (0x1)" << QString(QChar(1)) << "1 (0x1)" << 1;
    QTest::newRow("10") << 10 << "10 (0xA)" << "\n" << "10 (0xA)" << 10;
    QTest::newRow("32") << 32 << "32 (0x20)" << " " << "32 (0x20)" << 32;
    QTest::newRow("65") << 65 << "65 (0x41)" << "A" << "65 (0x41) A" << 65;
    QTest::newRow("66") << 66 << "66 (0x42)" << "B" << "66 (0x42) B" << 66;
    QTest::newRow("0x80") << 0x80 << "128 (0x80)" << "€" << "128 (0x80) €" << 0x80;
    QTest::newRow("0x81, no Windows character") << 0x81 << "129 (0x81)" << QString(QChar(0x81)) << "129 (0x81)" << 0x81;
    QTest::newRow("0x8A") << 0x8A << "138 (0x8A)" << "Š" << "138 (0x8A) Š" << 0x8A;
    QTest::newRow("0x9F") << 0x9F << "159 (0x9F)" << "Ÿ" << "159 (0x9F) Ÿ" << 0x9F;
    QTest::newRow("0xA0") << 0xA0 << "160 (0xA0)" << "\u00A0" << "160 (0xA0)" << 0xA0;
    QTest::newRow("0xB0") << 0xB0 << "176 (0xB0)" << "°" << "176 (0xB0) °" << 0xB0;
    QTest::newRow("254") << 254 << "254 (0xFE)" << "þ" << "254 (0xFE) þ" << 254;
    QTest::newRow("255 shows the last cell") << 255 << "255 (0xFF)" << "ÿ" << "255 (0xFF) ÿ" << 255;
}

void TestGlyphEditing::codeIsShownEverywhere()
{
    QFETCH(int, code);
    QFETCH(QString, label);
    QFETCH(QString, text);
    QFETCH(QString, spoken);
    QFETCH(int, cell);

    // The shipped bitmap has blank cells that look alike (0, 32 and 255).
    const QImage strip = distinctCellStrip();
    QTemporaryDir programDirectory;
    QVERIFY(strip.save(programDirectory.filePath(QStringLiteral("ASCII8X14.BMP")), "BMP"));
    EditorUnderTest editor(programDirectory.path());
    showByProgram(editor, code);
    QCOMPARE(codeLabel(editor), label);
    QCOMPARE(cutTexts(editor.control<QLabel>(QStringLiteral("lblCurrentChar"))), QStringList());
    QCOMPARE(windowsChar(editor), text);
    QCOMPARE(accessibleText(slider(editor)), spoken);
    QCOMPARE(accessibleText(editor.control<PictureBox>(QStringLiteral("pctPreview"))),
             QStringLiteral("Vorschau des Zeichens %1").arg(code));
    QCOMPARE(accessibleText(editor.control<PictureBox>(QStringLiteral("Picture1"))),
             QStringLiteral("Referenzzeichen %1").arg(cell));
    const QImage reference = editor.referenceGlyph();
    QVERIFY(!reference.isNull());
    QCOMPARE(firstDifference(reference, strip.copy(8 * cell, 0, 8, 14)), QString());
}

// The text box carries the character between showing and storing, so every
// code, the Windows range 0x80 to 0x9F among them, must come back as itself.
void TestGlyphEditing::everyCodeIsStoredIntoItself()
{
    EditorUnderTest editor;
    const GlyphBuffer& buffer = editor.font().glyphBuffer;
    for (int code = 0; code < 256; ++code) {
        showByProgram(editor, code);
        editor.clickPixel(code % 8);
        const int neighbour = code < 255 ? code + 1 : code - 1;
        QTest::keyClick(slider(editor), code < 255 ? Qt::Key_Down : Qt::Key_Up);
        QCOMPARE(slider(editor)->value(), neighbour);
        QVERIFY2(buffer[std::size_t(code * rowsPerGlyph)] == (0x80 >> (code % 8)), qPrintable(QString::number(code)));
        QVERIFY2(gridShows(editor, neighbour), qPrintable(QString::number(code)));

        // Coming back stores the neighbour, untouched, and shows the edit again.
        QTest::keyClick(slider(editor), code < 255 ? Qt::Key_Up : Qt::Key_Down);
        QVERIFY2(editor.gridRow(0) == (0x80 >> (code % 8)), qPrintable(QString::number(code)));
        if (neighbour > code)
            QVERIFY2(buffer[std::size_t(neighbour * rowsPerGlyph)] == 0, qPrintable(QString::number(code)));
    }
    QVERIFY(editor.dialogs().messageBoxes.empty());
}

void TestGlyphEditing::pictureClipCutsEveryCellFromItsPlace()
{
    const QImage strip = distinctCellStrip();
    PictureClip clip;
    clip.setPicture(strip);
    clip.setCols(256);
    clip.setRows(1);
    for (int cell : {0, 1, 127, 254, 255})
        QVERIFY2(clip.GraphicCell(cell) == strip.copy(8 * cell, 0, 8, 14), qPrintable(QString::number(cell)));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, clip.GraphicCell(-1));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, clip.GraphicCell(256));
}

void TestGlyphEditing::draggingOverTheGridChangesNothing()
{
    EditorUnderTest editor;
    QWindow* window = editor.window().windowHandle();
    const auto at = [&](int index) {
        PixelButton* pixel = editor.pixel(index);
        return pixel->mapTo(&editor.window(), pixel->rect().center());
    };

    QTest::mousePress(window, Qt::LeftButton, {}, at(0));
    for (int index : {1, 2, 10, 18, 27, 35})
        QTest::mouseMove(window, at(index));
    QTest::mouseRelease(window, Qt::LeftButton, {}, at(36));

    for (int index = 0; index < 64; ++index)
        QCOMPARE(editor.pixel(index)->backColor(), QColor(Qt::white));
    QCOMPARE(editor.font().isModified(), truthFalse);
}

void TestGlyphEditing::arrowKeysWalkTheShownGrid_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("to");

    QTest::newRow("Down to the row below") << 8 << 10 << int(Qt::Key_Down) << 18;
    QTest::newRow("Up to the row above") << 8 << 10 << int(Qt::Key_Up) << 2;
    QTest::newRow("Right") << 8 << 10 << int(Qt::Key_Right) << 11;
    QTest::newRow("Left") << 8 << 10 << int(Qt::Key_Left) << 9;
    QTest::newRow("Up at the top") << 8 << 3 << int(Qt::Key_Up) << 3;
    QTest::newRow("Left at a row's start") << 8 << 8 << int(Qt::Key_Left) << 8;
    QTest::newRow("Right at a row's end") << 8 << 15 << int(Qt::Key_Right) << 15;
    QTest::newRow("Down at the last row") << 8 << 60 << int(Qt::Key_Down) << 60;
    QTest::newRow("Down at the last of 3 rows") << 3 << 17 << int(Qt::Key_Down) << 17;
}

void TestGlyphEditing::arrowKeysWalkTheShownGrid()
{
    QFETCH(int, height);
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(int, to);

    EditorUnderTest editor;
    pickFromList(editor.control<ComboBox>(QStringLiteral("cboZeichenhoehe")), QString::number(height));
    editor.pixel(from)->setFocus();

    QTest::keyClick(editor.pixel(from), Qt::Key(key));
    QCOMPARE(QApplication::focusWidget(), editor.pixel(to));
    QCOMPARE(editor.gridRow(from / 8), 0);
    // A keyboard user sees where the focus went, and only there.
    QVERIFY2(markedPixels(editor.pixel(to)) > 0, "the pixel with the focus shows no focus mark");
    if (from != to)
        QCOMPARE(markedPixels(editor.pixel(from)), 0);
}

GLYPHORA_TEST_MAIN(TestGlyphEditing)
#include "test_glyph_editing.moc"
