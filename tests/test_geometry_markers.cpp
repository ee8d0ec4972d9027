// The font geometry and the two line markers, driven as a person does: the
// lists are opened and an entry taken with the keys, characters are chosen
// with the slider, pixels clicked, and what shows is read from the screen.

#include "combo_box.h"
#include "editor_under_test.h"
#include "frame.h"
#include "glyphora_test_main.h"
#include "pixel_button.h"
#include "slider.h"
#include "test_files.h"
#include "twips.h"

#include <QTemporaryDir>
#include <QTest>

#include <array>

namespace {

const QColor blue(0, 0, 255);
const QColor green(0, 255, 0);

// The person moves the slider with the arrow keys, one character at a time.
void chooseCharacter(Slider* slider, int code)
{
    for (int steps = 0; slider->value() != code && steps < 300; ++steps)
        QTest::keyClick(slider, slider->value() < code ? Qt::Key_Down : Qt::Key_Up);
    QCOMPARE(slider->value(), code);
}

std::uint8_t glyphRow(EditorUnderTest& editor, int code, int row)
{
    return editor.font().glyphBuffer[std::size_t(code * modCode::rowsPerGlyph + row)];
}

QString hex(int byte)
{
    return QStringLiteral("0x%1").arg(byte, 2, 16, QLatin1Char('0'));
}

}  // namespace

class TestGeometryMarkers : public QObject
{
    Q_OBJECT

private slots:
    void heightLaysOutTheGrid_data();
    void heightLaysOutTheGrid();
    void widthOtherThanEightIsRefused();
    void hiddenRowsComeBackAsTheyWere();
    void raisedRowsShowTheGlyphChosen_data();
    void raisedRowsShowTheGlyphChosen();
    void raisedRowsAfterLoadingAFont();
    void markerLiesOnItsRow_data();
    void markerLiesOnItsRow();
    void markerBeyondTheHeightIsRefused_data();
    void markerBeyondTheHeightIsRefused();
    void markersStayWhenTheHeightChanges();
};

void TestGeometryMarkers::heightLaysOutTheGrid_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("frameTwips");
    QTest::addColumn<QString>("before");  // another height taken first, so that every row changes
    QTest::newRow("1") << 1 << 855 << "32";
    QTest::newRow("7") << 7 << 2295 << "32";
    QTest::newRow("8") << 8 << 2535 << "32";
    QTest::newRow("32") << 32 << 8295 << "1";
    // Taking the height already in force lays the grid out again too.
    QTest::newRow("8, the height in force") << 8 << 2535 << QString();
}

void TestGeometryMarkers::heightLaysOutTheGrid()
{
    QFETCH(int, height);
    QFETCH(int, frameTwips);
    QFETCH(QString, before);
    EditorUnderTest editor;
    auto* frame = editor.control<Frame>(QStringLiteral("fraZeichendef"));
    auto* heights = editor.control<ComboBox>(QStringLiteral("cboZeichenhoehe"));
    const QSize windowSize = editor.window().size();
    if (!before.isEmpty())
        pickFromList(heights, before);
    editor.font().setModified(truthFalse);

    pickFromList(heights, QString::number(height));

    QCOMPARE(int(editor.font().charHeight), height);
    QCOMPARE(twipsFromPixels(frame->height()), frameTwips);
    QCOMPARE(frame->width(), pixelsFromTwips(2175));
    QCOMPARE(editor.window().size(), windowSize);
    for (int index = 0; index < modCode::glyphCount; ++index) {
        const int row = index / 8;
        const int column = index % 8;
        PixelButton* pixel = editor.pixel(index);
        QCOMPARE(pixel->pos(), QPoint(pixelsFromTwips(120 + 240 * column), pixelsFromTwips(420 + 240 * row)));
        QVERIFY2(pixel->isVisible() == (row < height), qPrintable(QStringLiteral("button %1").arg(index)));
    }
    QVERIFY(editor.font().isModified());
}

void TestGeometryMarkers::widthOtherThanEightIsRefused()
{
    EditorUnderTest editor;
    auto* widths = editor.control<ComboBox>(QStringLiteral("cboZeichenbreite"));
    QCOMPARE(widths->count(), 1);
    // Taking "8", the width in force, leaves the flag alone.
    pickFromList(widths, QStringLiteral("8"));
    QCOMPARE(int(editor.font().charWidth), 8);
    QVERIFY(!editor.font().isModified());
    widths->addItem(QStringLiteral("7"));
    editor.dialogs().messageBoxes.clear();

    pickFromList(widths, QStringLiteral("7"));

    QCOMPARE(editor.dialogs().messageBoxes.size(), std::size_t(1));
    const ScriptedDialogs::MessageBox& box = editor.dialogs().messageBoxes.front();
    QCOMPARE(box.prompt, QStringLiteral("Als Zeichenbreite ist momentan nur 8 zulässig!"));
    QVERIFY(box.buttons == UserDialogs::Buttons::Ok);
    QVERIFY(box.icon == UserDialogs::Icon::None);
    QCOMPARE(box.title, QStringLiteral("Glyphora"));
    QCOMPARE(int(editor.font().charWidth), 8);
    QCOMPARE(widths->currentText(), QStringLiteral("7"));
    QVERIFY(!editor.font().isModified());
    QCOMPARE(int(editor.font().charHeight), 8);
}

// Lowering and raising the height with no other character in between brings
// back the hidden rows, unstored edits included, and stores nothing.
void TestGeometryMarkers::hiddenRowsComeBackAsTheyWere()
{
    EditorUnderTest editor;
    auto* slider = editor.control<Slider>(QStringLiteral("sldSelectCharacter"));
    auto* heights = editor.control<ComboBox>(QStringLiteral("cboZeichenhoehe"));
    for (int index : {40, 47, 50, 61})  // rows 5, 6 and 7 of "A"
        editor.clickPixel(index);
    chooseCharacter(slider, 'B');
    chooseCharacter(slider, 'A');
    QCOMPARE(glyphRow(editor, 'A', 5), std::uint8_t(0x81));
    editor.clickPixel(53);  // unstored, row 6
    const auto stored = editor.font().glyphBuffer;
    std::array<int, 8> shown{};
    for (int row = 0; row < 8; ++row)
        shown[std::size_t(row)] = editor.gridRow(row);

    pickFromList(heights, QStringLiteral("4"));
    QVERIFY(editor.font().glyphBuffer == stored);
    for (int index = 32; index < 64; ++index)
        QVERIFY(!editor.pixel(index)->isVisible());

    pickFromList(heights, QStringLiteral("8"));
    QVERIFY(editor.font().glyphBuffer == stored);
    for (int row = 0; row < 8; ++row)
        QCOMPARE(hex(editor.gridRow(row)), hex(shown[std::size_t(row)]));
    QCOMPARE(hex(editor.gridRow(6)), hex(0x24));
}

// "B" is left with an edit in a hidden row, which is never stored. When the
// rows come back, they show the glyph chosen by then: "C", or "B" again, and
// never the dropped edit; nor is the edit stored into "C".
void TestGeometryMarkers::raisedRowsShowTheGlyphChosen_data()
{
    QTest::addColumn<int>("chosen");
    QTest::newRow("another glyph") << int('C');
    QTest::newRow("back to the glyph left") << int('B');
}

void TestGeometryMarkers::raisedRowsShowTheGlyphChosen()
{
    QFETCH(int, chosen);
    EditorUnderTest editor;
    auto* slider = editor.control<Slider>(QStringLiteral("sldSelectCharacter"));
    auto* heights = editor.control<ComboBox>(QStringLiteral("cboZeichenhoehe"));
    editor.font().glyphBuffer[std::size_t('C' * 32 + 5)] = 0x81;
    chooseCharacter(slider, 'B');
    editor.clickPixel(48 + 3);  // row 6 of "B"
    pickFromList(heights, QStringLiteral("4"));
    chooseCharacter(slider, 'C');
    chooseCharacter(slider, chosen);
    QCOMPARE(hex(glyphRow(editor, 'B', 6)), hex(0));

    pickFromList(heights, QStringLiteral("8"));

    for (int row = 4; row < 8; ++row)
        QCOMPARE(hex(editor.gridRow(row)), hex(glyphRow(editor, chosen, row)));
    QCOMPARE(hex(editor.gridRow(6)), hex(0));
    chooseCharacter(slider, 'D');
    QCOMPARE(hex(glyphRow(editor, 'C', 5)), hex(0x81));
    for (int row : {4, 6, 7})
        QCOMPARE(hex(glyphRow(editor, 'C', row)), hex(0));
}

// A loaded font replaces every glyph: the rows a lower loaded height hides
// must not bring back the old font's pixels when the height is raised.
void TestGeometryMarkers::raisedRowsAfterLoadingAFont()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("VIER.FNT"));
    QVERIFY(writeFile(path, QByteArray(256 * 4, '\0')));

    EditorUnderTest editor;
    auto* baseline = editor.control<QWidget>(QStringLiteral("shpBasislinie"));
    pickFromList(editor.control<ComboBox>(QStringLiteral("cboBasislinie")), QStringLiteral("6"));
    editor.clickPixel(48 + 2);  // row 6 of "A" in the old font
    editor.dialogs().boxAnswers.push_back(UserDialogs::Answer::No);
    editor.dialogs().fileAnswers.push_back(path);
    editor.click(QStringLiteral("cmdLoad"));
    QCOMPARE(int(editor.font().charHeight), 4);
    QCOMPARE(editor.font().fontFileName, path);
    QVERIFY(baseline->isVisible());
    QCOMPARE(baseline->y(), editor.pixel(40)->y());

    pickFromList(editor.control<ComboBox>(QStringLiteral("cboZeichenhoehe")), QStringLiteral("8"));

    QCOMPARE(hex(editor.gridRow(6)), hex(0));
}

void TestGeometryMarkers::markerLiesOnItsRow_data()
{
    QTest::addColumn<QString>("listName");
    QTest::addColumn<QString>("markerName");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("row");
    QTest::newRow("baseline on the last row") << "cboBasislinie" << "shpBasislinie" << blue << 8;
    QTest::newRow("baseline on the first row") << "cboBasislinie" << "shpBasislinie" << blue << 1;
    QTest::newRow("guide line on row 3") << "cboHilfslinie" << "shpHilfslinie" << green << 3;
}

// The marker lies behind its row of buttons: a stub of its colour on either
// side, the buttons' own colours between.
void TestGeometryMarkers::markerLiesOnItsRow()
{
    QFETCH(QString, listName);
    QFETCH(QString, markerName);
    QFETCH(QColor, colour);
    QFETCH(int, row);
    EditorUnderTest editor;
    auto* frame = editor.control<Frame>(QStringLiteral("fraZeichendef"));
    auto* marker = editor.control<QWidget>(markerName);
    const int first = 8 * (row - 1);
    editor.clickPixel(first + 2);
    editor.font().setModified(truthFalse);
    QVERIFY(!marker->isVisible());

    pickFromList(editor.control<ComboBox>(listName), QString::number(row));

    QVERIFY(marker->isVisible());
    QCOMPARE(marker->y(), editor.pixel(first)->y());
    // Heard by what it marks and where: "Basislinie, Zeile 8".
    QCOMPARE(accessibleText(marker), QStringLiteral("%1, Zeile %2").arg(markerName.mid(3)).arg(row));
    QVERIFY(!editor.font().isModified());
    const int top = editor.pixel(first)->y();
    QTRY_COMPARE(shownPixels(frame).pixelColor(2, top), colour);
    const QImage drawn = shownPixels(frame);
    for (int y = top; y <= top + 16; ++y) {
        for (int x : {2, 7, 137, 142})
            QVERIFY2(drawn.pixelColor(x, y) == colour, qPrintable(QStringLiteral("x %1, y %2").arg(x).arg(y)));
        QVERIFY(drawn.pixelColor(1, y) != colour);
        QVERIFY(drawn.pixelColor(143, y) != colour);
    }
    for (int column = 0; column < 8; ++column) {
        const QPoint centre = editor.pixel(first + column)->geometry().center();
        QCOMPARE(drawn.pixelColor(centre), column == 2 ? QColor(Qt::black) : QColor(Qt::white));
    }
}

void TestGeometryMarkers::markerBeyondTheHeightIsRefused_data()
{
    QTest::addColumn<QString>("listName");
    QTest::addColumn<QString>("markerName");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("entry");
    QTest::newRow("baseline 9") << "cboBasislinie" << "shpBasislinie" << blue << "9";
    QTest::newRow("guide line 32") << "cboHilfslinie" << "shpHilfslinie" << green << "32";
    QTest::newRow("no baseline") << "cboBasislinie" << "shpBasislinie" << blue << "<keine>";
}

// A row beyond the height, or none, hides the marker and puts the list back
// on "<keine>", as it shows and as a screen reader hears it.
void TestGeometryMarkers::markerBeyondTheHeightIsRefused()
{
    QFETCH(QString, listName);
    QFETCH(QString, markerName);
    QFETCH(QColor, colour);
    QFETCH(QString, entry);
    EditorUnderTest editor;
    auto* frame = editor.control<Frame>(QStringLiteral("fraZeichendef"));
    auto* list = editor.control<ComboBox>(listName);
    auto* marker = editor.control<QWidget>(markerName);
    pickFromList(list, QStringLiteral("4"));
    QVERIFY(marker->isVisible());
    const int top = editor.pixel(24)->y();
    QTRY_COMPARE(shownPixels(frame).pixelColor(2, top), colour);
    editor.font().setModified(truthFalse);
    editor.dialogs().messageBoxes.clear();

    pickFromList(list, entry);

    QVERIFY(!marker->isVisible());
    QTRY_VERIFY(shownPixels(frame).pixelColor(2, top) != colour);
    QCOMPARE(list->currentIndex(), 0);
    QCOMPARE(list->currentText(), QStringLiteral("<keine>"));
    QCOMPARE(heardValue(list), QStringLiteral("<keine>"));
    QVERIFY(editor.dialogs().messageBoxes.empty());
    QVERIFY(!editor.font().isModified());
}

// Markers are compared with the height only when their own list changes; both
// may mark the same row.
void TestGeometryMarkers::markersStayWhenTheHeightChanges()
{
    EditorUnderTest editor;
    auto* heights = editor.control<ComboBox>(QStringLiteral("cboZeichenhoehe"));
    auto* baselines = editor.control<ComboBox>(QStringLiteral("cboBasislinie"));
    auto* guides = editor.control<ComboBox>(QStringLiteral("cboHilfslinie"));
    auto* baseline = editor.control<QWidget>(QStringLiteral("shpBasislinie"));
    auto* guide = editor.control<QWidget>(QStringLiteral("shpHilfslinie"));
    pickFromList(baselines, QStringLiteral("5"));
    pickFromList(guides, QStringLiteral("5"));
    const int rowFive = editor.pixel(32)->y();
    QCOMPARE(baseline->y(), rowFive);
    QCOMPARE(guide->y(), rowFive);
    QVERIFY(baseline->isVisible() && guide->isVisible());

    pickFromList(heights, QStringLiteral("3"));
    for (QWidget* marker : {baseline, guide}) {
        QCOMPARE(marker->y(), rowFive);
        QVERIFY(marker->isVisible());
    }
    QCOMPARE(baselines->currentText(), QStringLiteral("5"));
    QCOMPARE(guides->currentText(), QStringLiteral("5"));

    pickFromList(baselines, QStringLiteral("<keine>"));
    QVERIFY(!baseline->isVisible());
    QVERIFY(guide->isVisible());

    pickFromList(heights, QStringLiteral("8"));
    QCOMPARE(guide->y(), rowFive);
    QVERIFY(guide->isVisible());
    QVERIFY(!baseline->isVisible());
    QCOMPARE(guides->currentText(), QStringLiteral("5"));
}

GLYPHORA_TEST_MAIN(TestGeometryMarkers)

#include "test_geometry_markers.moc"
