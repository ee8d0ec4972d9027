// The font overview, opened with the editor's "Preview" button: its window,
// its labels and every pixel it draws.

#include "combo_box.h"
#include "editor_under_test.h"
#include "glyphora_test_main.h"
#include "picture_box.h"
#include "pixel_button.h"
#include "slider.h"
#include "test_files.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMap>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

enum class Input { Mouse, Keyboard };

// Opens the overview by its button, runs `look` on the window and its
// drawing area while it is open and closes it with "OK": both buttons
// clicked, or Return pressed on each with the focus there. Fails the test
// unless the window opened modal and active and "OK" destroyed it. `drawing`
// is null when the window has no drawing area.
void openOverview(EditorUnderTest& editor, Input input, const std::function<void(QWidget*, PictureBox*)>& look)
{
    // A click, or Return with the focus on the button, where Tab takes it.
    const auto press = [input](QWidget* button) {
        if (input == Input::Mouse) {
            QTest::mouseClick(button, Qt::LeftButton);
        } else {
            button->setFocus();
            QTest::keyClick(button, Qt::Key_Return);
        }
    };
    bool opened = false;
    bool closedByOk = false;
    QPointer<QWidget> overview;
    // Gone with this call, so that its timer never looks at a window opened later.
    QObject whileOpen;
    QTimer::singleShot(0, &whileOpen, [&] {
        overview = QApplication::activeModalWidget();
        if (!overview)
            return;
        // Without a window manager a window becomes active only when asked to.
        overview->activateWindow();
        opened = QTest::qWaitFor([&overview] { return QApplication::activeWindow() == overview; });
        look(overview, overview->findChild<PictureBox*>(QStringLiteral("pctTotalPreview")));
        if (auto* ok = overview->findChild<QPushButton*>(QStringLiteral("OKButton")); ok && ok->text() == "OK")
            press(ok);
        closedByOk = QApplication::activeModalWidget() != overview;
        if (!closedByOk)
            overview->close();  // do not block the run
    });
    press(editor.control<QWidget>(QStringLiteral("cmdPreview")));
    QVERIFY2(opened, "no modal window opened, or it did not become active");
    QVERIFY(closedByOk);
    QVERIFY2(overview.isNull(), "the closed overview still exists");
    QVERIFY(!QApplication::activeModalWidget());
}

// The caption of the overview's label of that name; null when it has none.
QString labelText(const QWidget* overview, const QString& name)
{
    const auto* label = overview->findChild<QLabel*>(name);
    return label ? label->text() : QString();
}

// The captions that the overview's controls do not show whole.
QStringList cutCaptions(const QWidget* overview)
{
    QStringList cut;
    for (const QWidget* control : overview->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        cut << cutTexts(control);
    return cut;
}

// The overview as it must look: glyph pixel (row, column) of code c at
// (9 * (c mod 32) + column + 1, 33 * (c div 32) + row + 1), black for a set
// bit and white for a clear one, rows 0 to height - 1 only; everything else
// keeps the background.
QImage expectedOverview(QSize size, QColor background, int height, const std::function<int(int, int)>& rowByte)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(background);
    for (int code = 0; code < 256; ++code)
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < 8; ++column)
                image.setPixel(9 * (code % 32) + column + 1, 33 * (code / 32) + row + 1,
                               (rowByte(code, row) & (0x80 >> column)) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    return image;
}

// The smallest rectangle that holds every black pixel.
QRect blackArea(const QImage& image)
{
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == 0)
                area |= QRect(x, y, 1, 1);
    return area;
}

}  // namespace

using RowBytes = std::function<int(int, int)>;

class TestOverview : public QObject
{
    Q_OBJECT

private slots:
    void windowAndLabels();
    void keyboardOpensAndClosesTheOverview();
    void drawsEveryGlyph_data();
    void drawsEveryGlyph();
    void showsAndStoresUnstoredGridEdits();
    void fileNameLabel_data();
    void fileNameLabel();
    void eachOpeningIsANewWindow();
};

void TestOverview::windowAndLabels()
{
    EditorUnderTest editor;
    openOverview(editor, Input::Mouse, [](QWidget* overview, PictureBox* drawing) {
        QCOMPARE(overview->windowTitle(), QStringLiteral("Font Preview"));
        QCOMPARE(overview->geometry(), QRect(184, 250, 431, 302));
        QCOMPARE(overview->minimumSize(), QSize(431, 302));
        QCOMPARE(overview->maximumSize(), QSize(431, 302));
        QVERIFY(!(overview->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(overview->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(overview->windowFlags() & Qt::WindowCloseButtonHint);
        QCOMPARE(labelText(overview, QStringLiteral("Label1")), QStringLiteral("File:"));
        QVERIFY2(drawing, "no overview picture");
        QCOMPARE(accessibleText(drawing), QStringLiteral("Übersicht aller 256 Zeichen"));
        QCOMPARE(accessibleText(drawing, QAccessible::Description),
                 QStringLiteral("8 Zeilen zu je 32 Zeichen, von 00-1F oben bis E0-FF unten"));
        QCOMPARE(QAccessible::queryAccessibleInterface(drawing)->role(), QAccessible::Graphic);
        QStringList rangeLabels;
        for (int line = 0; line < 8; ++line)
            rangeLabels << labelText(overview, QStringLiteral("LabelN(%1)").arg(line));
        QCOMPARE(rangeLabels, QStringList({"00-1F", "20-3F", "40-5F", "60-7F", "80-9F", "A0-BF", "C0-DF", "E0-FF"}));

        // Every control at its design place, in twips of the client area.
        QMap<QString, QRect> design{
            {"OKButton", pixelsOf(5160, 420, 1215, 375)}, {"pctTotalPreview", pixelsOf(600, 420, 4455, 4035)},
            {"Label1", pixelsOf(120, 120, 495, 255)}, {"lblFileName", pixelsOf(600, 60, 5775, 255)}};
        const int rangeTops[] = {480, 960, 1440, 1980, 2460, 2940, 3480, 3960};
        for (int line = 0; line < 8; ++line)
            design.insert(QStringLiteral("LabelN(%1)").arg(line), pixelsOf(120, rangeTops[line], 495, 195));
        QMap<QString, QRect> places;
        for (const QWidget* control : overview->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            places.insert(control->objectName(), control->geometry());
        QCOMPARE(places, design);
        QCOMPARE(cutCaptions(overview), QStringList());
    });

    // Closed without a message, the overview gives the editor back its clicks.
    QVERIFY(editor.dialogs().messageBoxes.empty());
    editor.clickPixel(3);
    QCOMPARE(editor.pixel(3)->backColor(), QColor(Qt::black));
    QVERIFY(editor.font().isModified());
}

// Return on the focused "Preview" opens the overview, Return on its focused "OK" closes it.
void TestOverview::keyboardOpensAndClosesTheOverview()
{
    EditorUnderTest editor;
    openOverview(editor, Input::Keyboard, [](QWidget*, PictureBox*) {
        const QWidget* focused = QApplication::focusWidget();
        QCOMPARE(focused ? focused->objectName() : QString(), QStringLiteral("OKButton"));
    });
}

// Every pixel of the drawing area, for row patterns and heights, and where
// single glyphs land: an 8 × 8 black block for a full glyph. Rows from the
// height to 31 hold bits in glyphBuffer that must not be drawn.
void TestOverview::drawsEveryGlyph_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<RowBytes>("rowByte");
    QTest::addColumn<QRect>("black");  // the smallest rectangle that holds every black pixel, at 100 %

    const auto every = [](int rowByte) { return RowBytes([rowByte](int, int) { return rowByte; }); };
    const RowBytes varied = [](int code, int row) { return (code * 7 + row * 29 + code / 5) & 0xFF; };
    const auto alone = [](int code) { return RowBytes([code](int c, int) { return c == code ? 0xFF : 0; }); };

    QTest::newRow("empty font, height 8") << 8 << every(0) << QRect();
    QTest::newRow("0x80 rows") << 8 << every(0x80) << QRect(1, 1, 280, 239);
    QTest::newRow("0x01 rows") << 8 << every(0x01) << QRect(8, 1, 280, 239);
    QTest::newRow("0xFF rows") << 8 << every(0xFF) << QRect(1, 1, 287, 239);
    QTest::newRow("height 1, rows below hold bits") << 1 << varied << QRect(1, 1, 287, 232);
    QTest::newRow("height 8, rows below hold bits") << 8 << varied << QRect(1, 1, 287, 239);
    QTest::newRow("height 14, rows below hold bits") << 14 << varied << QRect(1, 1, 287, 245);
    QTest::newRow("height 31, row below holds bits") << 31 << every(0xFF) << QRect(1, 1, 287, 262);
    QTest::newRow("height 32") << 32 << varied << QRect(1, 1, 287, 263);
    QTest::newRow("0 alone") << 8 << alone(0) << QRect(1, 1, 8, 8);
    QTest::newRow("31 alone, end of the first line") << 8 << alone(31) << QRect(280, 1, 8, 8);
    QTest::newRow("65 alone, A") << 8 << alone(65) << QRect(10, 67, 8, 8);
    QTest::newRow("224 alone, start of the last line") << 8 << alone(224) << QRect(1, 232, 8, 8);
    QTest::newRow("255 alone") << 8 << alone(255) << QRect(280, 232, 8, 8);
}

void TestOverview::drawsEveryGlyph()
{
    QFETCH(int, height);
    QFETCH(RowBytes, rowByte);
    QFETCH(QRect, black);

    // The height through its list, every glyph row of glyphBuffer, all 32 rows
    // of each glyph, and "A" shown again so that the grid holds the new glyph.
    EditorUnderTest editor;
    editor.control<ComboBox>(QStringLiteral("cboZeichenhoehe"))->setListIndex(height - 1);
    for (int code = 0; code < 256; ++code)
        for (int row = 0; row < 32; ++row)
            editor.font().glyphBuffer[std::size_t(code * 32 + row)] = std::uint8_t(rowByte(code, row));
    auto* slider = editor.control<Slider>(QStringLiteral("sldSelectCharacter"));
    slider->setValue(0);
    slider->setValue(65);
    openOverview(editor, Input::Mouse, [height, &rowByte, &black](QWidget*, PictureBox* drawing) {
        QVERIFY2(drawing, "no overview picture");
        const QImage picture = drawnPixels(drawing);
        const QColor background = drawing->palette().color(QPalette::Button);
        QVERIFY(background != QColor(Qt::white) && background != QColor(Qt::black));
        // Each glyph as it must show, cut from its place in the overview at 100 %;
        // scaled, the picture is larger, and the places are the same.
        const QImage expected = expectedOverview(picture.size(), background, height, rowByte);
        for (int code = 0; code < 256; ++code) {
            const QRect place(9 * (code % 32) + 1, 33 * (code / 32) + 1, 8, height);
            const QString difference =
                firstDifference(shownGlyph(drawing, place.topLeft(), place.size()), expected.copy(place));
            QVERIFY2(difference.isEmpty(), qPrintable(QStringLiteral("code %1: %2").arg(code).arg(difference)));
        }
        // At 100 % every pixel: what lies between and below the glyphs keeps the background.
        if (picture.devicePixelRatio() != 1)
            return;
        const QString difference = firstDifference(picture, expected);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QCOMPARE(blackArea(picture), black);
    });
}

// Opening the overview stores the glyph on show first, so pixels toggled in
// the grid appear, and stay stored after closing.
void TestOverview::showsAndStoresUnstoredGridEdits()
{
    EditorUnderTest editor;
    editor.clickPixel(0);          // row 0, column 0
    editor.clickPixel(8 * 7 + 7);  // row 7, column 7
    QCOMPARE(editor.font().glyphBuffer[65 * 32], 0);

    openOverview(editor, Input::Mouse, [](QWidget*, PictureBox* drawing) {
        QVERIFY2(drawing, "no overview picture");
        const QImage picture = drawnPixels(drawing);
        QCOMPARE(blackArea(picture), QRect(10, 67, 8, 8));
        QCOMPARE(rgbAt(picture, 10, 67), 0u);
        QCOMPARE(rgbAt(picture, 17, 74), 0u);
        QCOMPARE(rgbAt(picture, 11, 67), 0xFFFFFFu);
    });
    QCOMPARE(editor.font().glyphBuffer[65 * 32], 0x80);
    QCOMPARE(editor.font().glyphBuffer[65 * 32 + 7], 0x01);
}

// A path too wide for the label loses the middle of its folder part, or,
// when even the file name is too wide, the middle of the whole text.
void TestOverview::fileNameLabel_data()
{
    QTest::addColumn<QString>("folder");   // inside the temporary folder
    QTest::addColumn<QString>("name");     // empty: no file loaded
    QTest::addColumn<bool>("modify");
    QTest::addColumn<QString>("keptEnd");  // empty: the whole text shows

    // More than half as wide as the label: the folder alone must give way.
    const QString wideName = QStringLiteral("Zeichensatz für die Anzeige im Treppenhaus.fnt");
    // Wider than the label by itself.
    const QString tooWideName = wideName.chopped(4) + ", zweite Fassung mit den Umlauten und dem Eurozeichen.fnt";
    const QString longFolder = QStringLiteral("Schriften für die Anzeigen der Geräte im Lager/Schriften in Arbeit");
    QTest::newRow("no file") << QString() << QString() << false << QString();
    QTest::newRow("no file, modified") << QString() << QString() << true << QString();
    QTest::newRow("file") << QString() << "font.fnt" << false << QString();
    QTest::newRow("file, modified") << QString() << "font.fnt" << true << QString();
    QTest::newRow("umlauts and descenders") << QStringLiteral("ÄÖÜ_Öffnen") << "gpy.fnt" << false << QString();
    QTest::newRow("long folder") << longFolder << "font.fnt" << false << QStringLiteral("/font.fnt");
    QTest::newRow("long folder, modified") << longFolder << wideName << true << "/" + wideName + "(modified)";
    QTest::newRow("too long a file name, modified") << QString() << tooWideName << true << QStringLiteral("(modified)");
}

void TestOverview::fileNameLabel()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(bool, modify);
    QFETCH(QString, keptEnd);

    EditorUnderTest editor;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath(folder.isEmpty() ? QStringLiteral(".") : folder));
    const QString path = QDir(dir.filePath(folder)).filePath(name);
    if (!name.isEmpty()) {
        QVERIFY(writeFile(path, QByteArray(2048, '\0')));
        editor.dialogs().fileAnswers.push_back(path);
        editor.click(QStringLiteral("cmdLoad"));
        QCOMPARE(editor.font().fontFileName, path);
    }
    if (modify)
        editor.clickPixel(12);

    // The path, marked when modified; nothing without a file.
    const QString whole = name.isEmpty() ? QString() : path + (modify ? QStringLiteral("(modified)") : QString());
    openOverview(editor, Input::Mouse, [&whole, &keptEnd](QWidget* overview, PictureBox*) {
        QCOMPARE(cutCaptions(overview), QStringList());
        const auto* label = overview->findChild<QLabel*>(QStringLiteral("lblFileName"));
        QVERIFY2(label, "no file name label");
        // Cut, the label holds the whole text as its tooltip.
        QCOMPARE(label->toolTip(), keptEnd.isEmpty() ? QString() : whole);
        if (keptEnd.isEmpty()) {
            QCOMPARE(label->text(), whole);
            return;
        }
        // The start and the end of the whole text, with "…" between them.
        const QStringList ends = label->text().split(QChar(0x2026));
        QCOMPARE(ends.size(), 2);
        QVERIFY2(whole.startsWith(ends[0]) && !ends[0].isEmpty(), qPrintable(label->text()));
        QVERIFY2(whole.endsWith(ends[1]) && ends[1].endsWith(keptEnd), qPrintable(label->text()));
    });
}

// Each opening builds the window anew: the label follows the state at that
// opening, and closing destroys the window.
void TestOverview::eachOpeningIsANewWindow()
{
    EditorUnderTest editor;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("font.fnt"));
    QVERIFY(writeFile(path, QByteArray(512, '\0')));
    editor.dialogs().fileAnswers.push_back(path);
    editor.click(QStringLiteral("cmdLoad"));

    openOverview(editor, Input::Mouse, [&path](QWidget* overview, PictureBox*) {
        QCOMPARE(labelText(overview, QStringLiteral("lblFileName")), path);
    });
    editor.clickPixel(1);
    openOverview(editor, Input::Mouse, [&path](QWidget* overview, PictureBox* drawing) {
        QCOMPARE(labelText(overview, QStringLiteral("lblFileName")), path + QStringLiteral("(modified)"));
        QVERIFY2(drawing, "no overview picture");
        QCOMPARE(blackArea(drawnPixels(drawing)), QRect(11, 67, 1, 1));
    });
}

GLYPHORA_TEST_MAIN(TestOverview)
#include "test_overview.moc"
