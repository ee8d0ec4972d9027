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
#include <QDialog>
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

// What the overview showed while it was open.
struct OverviewSeen
{
    QPointer<QWidget> window;
    QString title;
    QRect geometry;
    QSize minimumSize;
    QSize maximumSize;
    Qt::WindowFlags flags;
    QImage picture;        // the drawing area of pctTotalPreview, in device pixels
    QList<QImage> glyphs;  // each code's glyph as shown, one image pixel per glyph pixel
    QColor background;
    QString pictureName;
    QString pictureDescription;
    bool pictureIsGraphic = false;
    QString fileName;
    QString fileNameToolTip;
    QString fileCaption;
    QStringList rangeLabels;
    QMap<QString, QRect> places;  // every control's geometry, by name
    QStringList cutTexts;         // captions that do not show whole
    QString focus;  // the control that had the focus at the opening
    bool closedByOk = false;
};

enum class Input { Mouse, Keyboard };

// Opens the overview by its button, reads it and closes it with "OK": both
// buttons clicked, or with the keyboard pressed by Enter while they have the
// focus. Returns what was seen; `window` is null when no modal window opened.
OverviewSeen openOverview(EditorUnderTest& editor, Input input = Input::Mouse)
{
    OverviewSeen seen;
    const QSize glyphSize(8, editor.font().charHeight);
    // Tied to the editor, so that it never outlives `seen` when no window opens.
    QTimer::singleShot(0, &editor.window(), [&seen, glyphSize, input] {
        QWidget* window = QApplication::activeModalWidget();
        if (!window)
            return;
        // Without a window manager a window becomes active only when asked to.
        window->activateWindow();
        if (QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }) && window->focusWidget())
            seen.focus = window->focusWidget()->objectName();
        seen.window = window;
        seen.title = window->windowTitle();
        seen.geometry = window->geometry();
        seen.minimumSize = window->minimumSize();
        seen.maximumSize = window->maximumSize();
        seen.flags = window->windowFlags();
        if (auto* box = window->findChild<PictureBox*>(QStringLiteral("pctTotalPreview"))) {
            seen.picture = drawnPixels(box).convertToFormat(QImage::Format_RGB32);
            for (int code = 0; code < 256; ++code)
                seen.glyphs << shownGlyph(box, QPoint(9 * (code % 32) + 1, 33 * (code / 32) + 1), glyphSize);
            seen.background = box->palette().color(QPalette::Button);
            seen.pictureName = accessibleText(box);
            seen.pictureDescription = accessibleText(box, QAccessible::Description);
            seen.pictureIsGraphic = QAccessible::queryAccessibleInterface(box)->role() == QAccessible::Graphic;
        }
        if (auto* label = window->findChild<QLabel*>(QStringLiteral("lblFileName"))) {
            seen.fileName = label->text();
            seen.fileNameToolTip = label->toolTip();
        }
        if (auto* label = window->findChild<QLabel*>(QStringLiteral("Label1")))
            seen.fileCaption = label->text();
        for (int line = 0; line < 8; ++line)
            if (auto* label = window->findChild<QLabel*>(QStringLiteral("LabelN(%1)").arg(line)))
                seen.rangeLabels << label->text();
        for (const QWidget* control : window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            seen.places.insert(control->objectName(), control->geometry());
            seen.cutTexts << cutTexts(control);
        }
        if (auto* ok = window->findChild<QPushButton*>(QStringLiteral("OKButton")); ok && ok->text() == "OK") {
            if (input == Input::Mouse)
                QTest::mouseClick(ok, Qt::LeftButton);
            else if (QWidget* focused = window->focusWidget())
                QTest::keyClick(focused, Qt::Key_Return);
        }
        seen.closedByOk = QApplication::activeModalWidget() != window;
        if (!seen.closedByOk)
            window->close();  // do not block the run
    });
    if (input == Input::Keyboard) {
        auto* preview = editor.control<QWidget>(QStringLiteral("cmdPreview"));
        preview->setFocus();
        QTest::keyClick(preview, Qt::Key_Return);
    } else {
        editor.click(QStringLiteral("cmdPreview"));
    }
    return seen;
}

// Sets the font height through the height list, fills every glyph row of
// glyphBuffer, all 32 rows of each glyph, with `rowByte(code, row)`, and
// shows "A" again so that the grid holds the new glyph.
void showFont(EditorUnderTest& editor, int height, const std::function<int(int, int)>& rowByte)
{
    editor.control<ComboBox>(QStringLiteral("cboZeichenhoehe"))->setListIndex(height - 1);
    for (int code = 0; code < 256; ++code)
        for (int row = 0; row < 32; ++row)
            editor.font().glyphBuffer[std::size_t(code * 32 + row)] = std::uint8_t(rowByte(code, row));
    auto* slider = editor.control<Slider>(QStringLiteral("sldSelectCharacter"));
    slider->setValue(0);
    slider->setValue(65);
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
Q_DECLARE_METATYPE(RowBytes)

class TestOverview : public QObject
{
    Q_OBJECT

private slots:
    void windowAndLabels();
    void keyboardOpensAndClosesTheOverview();
    void drawsEveryGlyph_data();
    void drawsEveryGlyph();
    void glyphPlacement_data();
    void glyphPlacement();
    void showsAndStoresUnstoredGridEdits();
    void fileNameLabel_data();
    void fileNameLabel();
    void eachOpeningIsANewWindow();
};

void TestOverview::windowAndLabels()
{
    EditorUnderTest editor;
    const OverviewSeen seen = openOverview(editor);
    QVERIFY2(!seen.title.isNull(), "no modal window opened");
    QCOMPARE(seen.title, QStringLiteral("Font Preview"));
    QCOMPARE(seen.geometry, QRect(184, 250, 431, 302));
    QCOMPARE(seen.minimumSize, QSize(431, 302));
    QCOMPARE(seen.maximumSize, QSize(431, 302));
    QVERIFY(!(seen.flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(seen.flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(seen.flags & Qt::WindowCloseButtonHint);
    QCOMPARE(seen.fileCaption, QStringLiteral("File:"));
    QCOMPARE(seen.pictureName, QStringLiteral("Übersicht aller 256 Zeichen"));
    QCOMPARE(seen.pictureDescription, QStringLiteral("8 Zeilen zu je 32 Zeichen, von 00-1F oben bis E0-FF unten"));
    QVERIFY(seen.pictureIsGraphic);
    QCOMPARE(seen.rangeLabels, QStringList({"00-1F", "20-3F", "40-5F", "60-7F", "80-9F", "A0-BF", "C0-DF", "E0-FF"}));

    // Every control at its design place, in twips of the client area.
    QMap<QString, QRect> design{
        {"OKButton", pixelsOf(5160, 420, 1215, 375)},
        {"pctTotalPreview", pixelsOf(600, 420, 4455, 4035)},
        {"Label1", pixelsOf(120, 120, 495, 255)},
        {"lblFileName", pixelsOf(600, 60, 5775, 255)},
    };
    const int rangeTops[] = {480, 960, 1440, 1980, 2460, 2940, 3480, 3960};
    for (int line = 0; line < 8; ++line)
        design.insert(QStringLiteral("LabelN(%1)").arg(line), pixelsOf(120, rangeTops[line], 495, 195));
    QCOMPARE(seen.places, design);
    QCOMPARE(seen.cutTexts, QStringList());

    QVERIFY(seen.closedByOk);

    // "OK" destroyed the window, and the editor takes clicks again.
    QVERIFY(seen.window.isNull());
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(editor.dialogs().messageBoxes.empty());
    editor.clickPixel(3);
    QCOMPARE(editor.pixel(3)->backColor(), QColor(Qt::black));
    QVERIFY(editor.font().isModified());
}

// Enter on the focused "Preview" opens the overview, Enter on its focused "OK" closes it.
void TestOverview::keyboardOpensAndClosesTheOverview()
{
    EditorUnderTest editor;
    const OverviewSeen seen = openOverview(editor, Input::Keyboard);
    QVERIFY2(!seen.title.isNull(), "no modal window opened");
    QCOMPARE(seen.focus, QStringLiteral("OKButton"));
    QVERIFY(seen.closedByOk);
}

// Every pixel of the drawing area, for row patterns and heights. Rows from
// the height to 31 hold bits in glyphBuffer that must not be drawn.
void TestOverview::drawsEveryGlyph_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<RowBytes>("rowByte");

    const RowBytes empty = [](int, int) { return 0; };
    const RowBytes left = [](int, int) { return 0x80; };
    const RowBytes right = [](int, int) { return 0x01; };
    const RowBytes full = [](int, int) { return 0xFF; };
    const RowBytes varied = [](int code, int row) { return (code * 7 + row * 29 + code / 5) & 0xFF; };

    QTest::newRow("empty font, height 8") << 8 << empty;
    QTest::newRow("0x80 rows") << 8 << left;
    QTest::newRow("0x01 rows") << 8 << right;
    QTest::newRow("0xFF rows") << 8 << full;
    QTest::newRow("height 1, rows below hold bits") << 1 << varied;
    QTest::newRow("height 8, rows below hold bits") << 8 << varied;
    QTest::newRow("height 14, rows below hold bits") << 14 << varied;
    QTest::newRow("height 31, row below holds bits") << 31 << full;
    QTest::newRow("height 32") << 32 << varied;
}

void TestOverview::drawsEveryGlyph()
{
    QFETCH(int, height);
    QFETCH(RowBytes, rowByte);

    EditorUnderTest editor;
    showFont(editor, height, rowByte);
    const OverviewSeen seen = openOverview(editor);
    QVERIFY2(!seen.picture.isNull(), "no overview picture");
    QVERIFY(seen.background != QColor(Qt::white) && seen.background != QColor(Qt::black));
    QCOMPARE(seen.glyphs.size(), 256);
    // Each glyph as it must show, cut from its place in the overview at 100 %;
    // scaled, the picture is larger, and the places are the same.
    const QImage expected = expectedOverview(seen.picture.size(), seen.background, height, rowByte);
    for (int code = 0; code < 256; ++code) {
        const QRect place(9 * (code % 32) + 1, 33 * (code / 32) + 1, 8, height);
        const QString difference = firstDifference(seen.glyphs[code], expected.copy(place));
        QVERIFY2(difference.isEmpty(), qPrintable(QStringLiteral("code %1: %2").arg(code).arg(difference)));
    }
    // At 100 % every pixel: what lies between and below the glyphs keeps the background.
    if (seen.picture.devicePixelRatio() != 1)
        return;
    const QString difference = firstDifference(seen.picture, expected);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

// Where single glyphs land: an 8 × 8 black block for a full glyph.
void TestOverview::glyphPlacement_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QRect>("area");
    QTest::newRow("0") << 0 << QRect(1, 1, 8, 8);
    QTest::newRow("31, end of the first line") << 31 << QRect(280, 1, 8, 8);
    QTest::newRow("65, A") << 65 << QRect(10, 67, 8, 8);
    QTest::newRow("224, start of the last line") << 224 << QRect(1, 232, 8, 8);
    QTest::newRow("255") << 255 << QRect(280, 232, 8, 8);
}

void TestOverview::glyphPlacement()
{
    QFETCH(int, code);
    QFETCH(QRect, area);
    EditorUnderTest editor;
    showFont(editor, 8, [code](int c, int) { return c == code ? 0xFF : 0; });
    const OverviewSeen seen = openOverview(editor);
    QVERIFY2(!seen.picture.isNull(), "no overview picture");
    QCOMPARE(blackArea(seen.picture), area);
}

// Opening the overview stores the glyph on show first, so pixels toggled in
// the grid appear, and stay stored after closing.
void TestOverview::showsAndStoresUnstoredGridEdits()
{
    EditorUnderTest editor;
    editor.clickPixel(0);          // row 0, column 0
    editor.clickPixel(8 * 7 + 7);  // row 7, column 7
    QCOMPARE(editor.font().glyphBuffer[65 * 32], 0);

    const OverviewSeen seen = openOverview(editor);
    QVERIFY2(!seen.picture.isNull(), "no overview picture");
    QCOMPARE(blackArea(seen.picture), QRect(10, 67, 8, 8));
    QCOMPARE(seen.picture.pixel(10, 67) & 0xFFFFFF, 0u);
    QCOMPARE(seen.picture.pixel(17, 74) & 0xFFFFFF, 0u);
    QCOMPARE(seen.picture.pixel(11, 67) & 0xFFFFFF, 0xFFFFFFu);

    QCOMPARE(editor.font().glyphBuffer[65 * 32], 0x80);
    QCOMPARE(editor.font().glyphBuffer[65 * 32 + 7], 0x01);
}

// A path too wide for the label loses the middle of its folder part, or,
// when even the file name is too wide, the middle of the whole text.
void TestOverview::fileNameLabel_data()
{
    QTest::addColumn<bool>("loadFile");
    QTest::addColumn<bool>("modify");
    QTest::addColumn<QString>("suffix");  // after the path; unused without a file
    QTest::addColumn<QString>("folder");  // inside the temporary folder
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("keptEnd");  // empty: the whole text shows

    const QString font = QStringLiteral("font.fnt");
    // More than half as wide as the label: the folder alone must give way.
    const QString wideName = QStringLiteral("Zeichensatz für die Anzeige im Treppenhaus.fnt");
    const QString tooWideName = QStringLiteral("Zeichensatz für die Anzeige im Treppenhaus, zweite Fassung mit "
                                               "den Umlauten und dem Eurozeichen.fnt");
    const QString longFolder = QStringLiteral("Schriften für die Anzeigen der Geräte im Lager/Schriften in Arbeit");
    QTest::newRow("no file") << false << false << QString() << QString() << font << QString();
    QTest::newRow("no file, modified") << false << true << QString() << QString() << font << QString();
    QTest::newRow("file") << true << false << QString() << QString() << font << QString();
    QTest::newRow("file, modified") << true << true << QStringLiteral("(modified)") << QString() << font << QString();
    QTest::newRow("umlauts and descenders") << true << false << QString() << QStringLiteral("ÄÖÜ_Öffnen") << "gpy.fnt"
                                            << QString();
    QTest::newRow("long folder") << true << false << QString() << longFolder << font << QStringLiteral("/font.fnt");
    QTest::newRow("long folder, modified")
        << true << true << QStringLiteral("(modified)") << longFolder << wideName << "/" + wideName + "(modified)";
    QTest::newRow("too long a file name, modified")
        << true << true << QStringLiteral("(modified)") << QString() << tooWideName << QStringLiteral("(modified)");
}

void TestOverview::fileNameLabel()
{
    QFETCH(bool, loadFile);
    QFETCH(bool, modify);
    QFETCH(QString, suffix);
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(QString, keptEnd);

    EditorUnderTest editor;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath(folder.isEmpty() ? QStringLiteral(".") : folder));
    const QString path = QDir(dir.filePath(folder)).filePath(name);
    if (loadFile) {
        QVERIFY(writeFile(path, QByteArray(2048, '\0')));
        editor.dialogs().fileAnswers.push_back(path);
        editor.click(QStringLiteral("cmdLoad"));
        QCOMPARE(editor.font().fontFileName, path);
    }
    if (modify)
        editor.clickPixel(12);

    const OverviewSeen seen = openOverview(editor);
    QVERIFY2(!seen.title.isNull(), "no modal window opened");
    const QString whole = loadFile ? path + suffix : QString();
    QCOMPARE(seen.cutTexts, QStringList());
    if (keptEnd.isEmpty()) {
        QCOMPARE(seen.fileName, whole);
        QCOMPARE(seen.fileNameToolTip, QString());
        return;
    }
    // The start and the end of the whole text, with "…" between them.
    const QStringList ends = seen.fileName.split(QChar(0x2026));
    QCOMPARE(ends.size(), 2);
    QVERIFY2(whole.startsWith(ends[0]) && !ends[0].isEmpty(), qPrintable(seen.fileName));
    QVERIFY2(whole.endsWith(ends[1]) && ends[1].endsWith(keptEnd), qPrintable(seen.fileName));
    QCOMPARE(seen.fileNameToolTip, whole);
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

    const OverviewSeen first = openOverview(editor);
    QVERIFY2(!first.title.isNull(), "no modal window opened");
    QCOMPARE(first.fileName, path);
    QVERIFY(first.window.isNull());

    editor.clickPixel(1);
    const OverviewSeen second = openOverview(editor);
    QVERIFY2(!second.title.isNull(), "no modal window opened the second time");
    QCOMPARE(second.fileName, path + QStringLiteral("(modified)"));
    QCOMPARE(blackArea(second.picture), QRect(11, 67, 1, 1));
    QVERIFY(second.window.isNull());
    QVERIFY(!QApplication::activeModalWidget());
}

GLYPHORA_TEST_MAIN(TestOverview)
#include "test_overview.moc"
