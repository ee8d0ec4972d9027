// The editor window as the person first sees it: every control at its design
// place, the captions, the pixel grid, the lists, the slider, the state that
// start-up leaves behind, the keyboard order, and a missing reference bitmap.

#include "editor_under_test.h"

#include "combo_box.h"
#include "glyphora_test_main.h"
#include "picture_box.h"
#include "pixel_button.h"
#include "slider.h"
#include "test_files.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

QRgb rgb(QColor colour)
{
    return colour.rgb() & 0xFFFFFF;
}

// The darkest pixel on the straight line from `from` to `to`.
QRgb darkestBetween(const QImage& image, QPoint from, QPoint to)
{
    QRgb darkest = 0xFFFFFF;
    for (QPoint at = from; at != to; at += QPoint(to.x() > at.x(), to.y() > at.y()))
        if (qGray(image.pixel(at)) < qGray(darkest))
            darkest = rgbAt(image, at.x(), at.y());
    return darkest;
}

// The object name of the caption that assistive technology first reads as
// the label of `control`; empty for none.
QString labelledBy(QWidget* control)
{
    const auto labels = QAccessible::queryAccessibleInterface(control)->relations(QAccessible::Label);
    return labels.isEmpty() ? QString() : labels.constFirst().first->object()->objectName();
}

}  // namespace

class TestStartupLayout : public QObject
{
    Q_OBJECT

private slots:
    void controlsStandAtTheirPlacesWithTheirCaptions_data();
    void controlsStandAtTheirPlacesWithTheirCaptions();
    void pixelGridIsWhiteAndOverlapping();
    void markersLieBehindTheGridAndAreHidden();
    void listsAreFilledWithTheDefaultsChosen();
    void sliderRunsFromZeroAtTheTop();
    void startStateIsAnEmptyFontShowingA();
    void tabOrderFollowsTheDesign();
    void missingReferenceBitmapIsReportedOnce_data();
    void missingReferenceBitmapIsReportedOnce();
};

// Every control at its design place, in twips, and its caption, shown whole.
void TestStartupLayout::controlsStandAtTheirPlacesWithTheirCaptions_data()
{
    QTest::addColumn<QString>("container");  // empty: the window itself, with its title
    QTest::addColumn<QRect>("place");
    QTest::addColumn<bool>("captioned");
    QTest::addColumn<QString>("caption");

    struct Control
    {
        const char* name;
        const char* container;
        int left, top, width, height;
        const char* caption;  // nullptr: none
    };
    const Control controls[] = {
        {"frmMain", "", 0, 0, 0, 0, "LU/VO Fonteditor"},
        {"Frame2", "frmMain", 120, 180, 1935, 855, "Fontgeometrie"},
        {"Frame1", "frmMain", 120, 1200, 1935, 855, "Hilfsmittel"},
        {"Frame3", "frmMain", 120, 2220, 1935, 4335, "Aktuelles Zeichen"},
        // The grid frame holds the 8 rows of the start-up height.
        {"fraZeichendef", "frmMain", 2160, 180, 2175, 2535, "Zeichendefinition"},
        {"cmdPreview", "frmMain", 4440, 240, 1095, 315, "Preview"},
        {"cmdLoad", "frmMain", 4440, 5400, 1095, 315, "Laden"},
        {"cmdSave", "frmMain", 4440, 5820, 1095, 315, "Speichern"},
        {"cmdBeenden", "frmMain", 4440, 6240, 1095, 315, "Beenden"},
        {"Label11", "frmMain", 120, 6780, 1935, 255, "Pixel anklicken: an / aus"},
        {"Label10", "frmMain", 120, 7020, 1935, 255, "Schieber: Zeichen wählen"},
        {"Label6", "frmMain", 120, 7260, 1935, 255, "Preview: alle 256 Zeichen"},
        {"Label1", "Frame2", 120, 240, 1095, 195, "Zeichenbreite"},
        {"Label2", "Frame2", 120, 540, 975, 195, "Zeichenhöhe"},
        {"cboZeichenbreite", "Frame2", 1200, 180, 615, 315, nullptr},
        {"cboZeichenhoehe", "Frame2", 1200, 480, 615, 315, nullptr},
        {"Label4", "Frame1", 120, 240, 1095, 195, "Hilfslinie"},
        {"Label3", "Frame1", 120, 540, 1095, 195, "Basislinie"},
        {"cboHilfslinie", "Frame1", 960, 180, 855, 315, nullptr},
        {"cboBasislinie", "Frame1", 960, 480, 855, 315, nullptr},
        {"sldSelectCharacter", "Frame3", 120, 180, 510, 4095, nullptr},
        {"Label8", "Frame3", 720, 360, 975, 195, "DEZ / HEX"},
        {"lblCurrentChar", "Frame3", 720, 540, 1095, 315, "65 (0x41)"},
        {"lblWinChar", "Frame3", 840, 1020, 255, 255, ""},
        {"Label5", "Frame3", 720, 1140, 975, 195, "PREVIEW"},
        {"pctPreview", "Frame3", 720, 1380, 1095, 555, nullptr},
        {"Label9", "Frame3", 720, 2220, 1095, 195, "ASCII (LU/VO)"},
        {"Picture1", "Frame3", 720, 2460, 1095, 315, nullptr},
        {"Label7", "Frame3", 720, 3060, 975, 195, "ANSI (WIN)"},
        {"txtWindowsChar", "Frame3", 720, 3300, 1095, 315, "A"},
        {"Image1", "Frame3", 720, 3720, 360, 510, nullptr},
        {"shpBasislinie", "fraZeichendef", 30, 420, 2115, 255, nullptr},
        {"shpHilfslinie", "fraZeichendef", 30, 660, 2115, 255, nullptr},
        {"cmdPixel(0)", "fraZeichendef", 120, 420, 255, 255, nullptr},
        {"cmdPixel(1)", "fraZeichendef", 360, 420, 255, 255, nullptr},
        {"cmdPixel(255)", "fraZeichendef", 1800, 7860, 255, 255, nullptr},
    };
    for (const Control& control : controls)
        QTest::newRow(control.name) << QString::fromLatin1(control.container)
                                    << pixelsOf(control.left, control.top, control.width, control.height)
                                    << bool(control.caption)
                                    << QString::fromUtf8(control.caption ? control.caption : "");
}

void TestStartupLayout::controlsStandAtTheirPlacesWithTheirCaptions()
{
    QFETCH(QString, container);
    QFETCH(QRect, place);
    QFETCH(bool, captioned);
    QFETCH(QString, caption);

    EditorUnderTest editor;
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    if (container.isEmpty()) {
        QCOMPARE(editor.window().windowTitle(), caption);
        return;
    }
    auto* control = editor.control<QWidget>(name);
    QCOMPARE(control->parentWidget()->objectName(), container);
    QCOMPARE(control->geometry(), place);
    if (!captioned)
        return;
    // A frame's caption is its title; a label's, a button's and a text box's its text.
    const char* captionProperty = qobject_cast<QGroupBox*>(control) ? "title" : "text";
    QCOMPARE(control->property(captionProperty).toString(), caption);
    QCOMPARE(cutTexts(control), QStringList());
    // The label of the Windows character stays empty, over the label below;
    // the text box shows the character itself.
    if (name == QLatin1String("lblWinChar") || qobject_cast<QLineEdit*>(control))
        return;

    // The dots of capital umlauts and the descenders show whole as well.
    QVERIFY(control->setProperty(captionProperty, QStringLiteral("ÄÖÜgpy")));
    QCOMPARE(cutTexts(control), QStringList());
}

void TestStartupLayout::pixelGridIsWhiteAndOverlapping()
{
    EditorUnderTest editor;
    auto* grid = editor.control<QGroupBox>(QStringLiteral("fraZeichendef"));
    const QImage shown = shownPixels(grid);
    const qreal scale = shown.devicePixelRatio();
    const QRgb dark = rgb(grid->palette().color(QPalette::Dark));
    for (int index = 0; index < 256; ++index) {
        const int row = index / 8;
        const int column = index % 8;
        PixelButton* pixel = editor.pixel(index);
        // 17 pixels square at a pitch of 16: neighbours overlap by one pixel.
        QCOMPARE(pixel->parentWidget(), grid);
        QCOMPARE(pixel->geometry(), QRect(8 + 16 * column, 28 + 16 * row, 17, 17));
        QCOMPARE(rgb(pixel->backColor()), QRgb(0xFFFFFF));
        QVERIFY(pixel->text().isEmpty());
        QCOMPARE(pixel->isVisible(), row < 8);
        if (row >= 8)
            continue;
        const QPoint centre = pixel->geometry().center() * scale;
        QCOMPARE(rgbAt(shown, centre.x(), centre.y()), QRgb(0xFFFFFF));
        // The edge between two blank cells shows the dark shade, at every
        // display scale: the cells can be counted.
        if (column < 7)
            QCOMPARE(darkestBetween(shown, centre, editor.pixel(index + 1)->geometry().center() * scale), dark);
        if (row < 7)
            QCOMPARE(darkestBetween(shown, centre, editor.pixel(index + 8)->geometry().center() * scale), dark);
    }
}

void TestStartupLayout::markersLieBehindTheGridAndAreHidden()
{
    EditorUnderTest editor;
    auto* grid = editor.control<QWidget>(QStringLiteral("fraZeichendef"));
    const QObjectList siblings = grid->children();
    qsizetype firstPixel = siblings.size();
    for (int index = 0; index < 256; ++index)
        firstPixel = std::min(firstPixel, siblings.indexOf(editor.pixel(index)));

    for (const char* name : {"shpBasislinie", "shpHilfslinie"}) {
        auto* marker = editor.control<QWidget>(QString::fromLatin1(name));
        QVERIFY2(siblings.indexOf(marker) < firstPixel, name);
        QVERIFY2(marker->isHidden(), name);
    }
}

void TestStartupLayout::listsAreFilledWithTheDefaultsChosen()
{
    EditorUnderTest editor;
    struct List
    {
        const char* name;
        int count;
        int selected;
        const char* selectedText;
        const char* caption;
    };
    const List lists[] = {
        {"cboZeichenhoehe", 32, 7, "8", "Label2"},
        {"cboBasislinie", 33, 0, "<keine>", "Label3"},
        {"cboHilfslinie", 33, 0, "<keine>", "Label4"},
        {"cboZeichenbreite", 1, 0, "8", "Label1"},
    };
    for (const List& list : lists) {
        auto* combo = editor.control<ComboBox>(QString::fromLatin1(list.name));
        QVERIFY2(!combo->isEditable(), list.name);
        QCOMPARE(combo->count(), list.count);
        QCOMPARE(combo->currentIndex(), list.selected);
        QCOMPARE(combo->currentText(), QString::fromLatin1(list.selectedText));
        // Heard by its current entry, tied to its caption, and heard again
        // as soon as a key on the closed list changes it.
        QCOMPARE(accessibleText(combo), QString::fromLatin1(list.selectedText));
        QCOMPARE(heardValue(combo), QString::fromLatin1(list.selectedText));
        QCOMPARE(labelledBy(combo), QString::fromLatin1(list.caption));
        if (list.count > 1) {
            combo->setFocus();
            QCOMPARE(heardWhile([combo] { QTest::keyClick(combo, Qt::Key_Down); }),
                     QStringList{combo->itemText(list.selected + 1)});
            QTest::keyClick(combo, Qt::Key_Up);
        }
        QCOMPARE(cutTexts(combo), QStringList());
        combo->addItem(QStringLiteral("Öpy"));  // as much of "ÄÖÜgpy" as the narrowest list holds
        combo->setCurrentIndex(combo->count() - 1);
        QCOMPARE(cutTexts(combo), QStringList());
        combo->removeItem(combo->count() - 1);
    }

    auto* height = editor.control<ComboBox>(QStringLiteral("cboZeichenhoehe"));
    auto* baseline = editor.control<ComboBox>(QStringLiteral("cboBasislinie"));
    auto* guideLine = editor.control<ComboBox>(QStringLiteral("cboHilfslinie"));
    for (int n = 1; n <= 32; ++n) {
        QCOMPARE(height->itemText(n - 1), QString::number(n));
        QCOMPARE(baseline->itemText(n), QString::number(n));
        QCOMPARE(guideLine->itemText(n), QString::number(n));
    }
    QCOMPARE(baseline->itemText(0), QStringLiteral("<keine>"));
    QCOMPARE(guideLine->itemText(0), QStringLiteral("<keine>"));
}

void TestStartupLayout::sliderRunsFromZeroAtTheTop()
{
    EditorUnderTest editor;
    auto* slider = editor.control<Slider>(QStringLiteral("sldSelectCharacter"));
    QCOMPARE(slider->orientation(), Qt::Vertical);
    QCOMPARE(slider->minimum(), 0);
    QCOMPARE(slider->maximum(), 255);
    QVERIFY(slider->invertedAppearance());
    QCOMPARE(slider->value(), 65);

    // A click near the top of the groove moves towards 0, near the bottom towards 255.
    const int grooveX = sliderPart(slider, QStyle::SC_SliderGroove).center().x();
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(grooveX, 10));
    QCOMPARE(slider->value(), 65 - slider->pageStep());
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(grooveX, slider->height() - 10));
    QCOMPARE(slider->value(), 65);
    // The middle button puts the handle where it is pressed.
    QTest::mouseClick(slider, Qt::MiddleButton, {}, QPoint(grooveX, 0));
    QCOMPARE(slider->value(), 0);
    QTest::mouseClick(slider, Qt::MiddleButton, {}, QPoint(grooveX, slider->height() - 1));
    QCOMPARE(slider->value(), 255);
}

void TestStartupLayout::startStateIsAnEmptyFontShowingA()
{
    EditorUnderTest editor;
    const modCode& font = editor.font();
    QCOMPARE(int(font.charHeight), 8);
    QCOMPARE(int(font.charWidth), 8);
    // The height handling set the flag; start-up clears it last.
    QCOMPARE(font.isModified(), truthFalse);
    QVERIFY(font.fontFileName.isEmpty());
    QVERIFY(std::all_of(font.glyphBuffer.begin(), font.glyphBuffer.end(), [](std::uint8_t b) { return b == 0; }));
    QVERIFY(editor.dialogs().messageBoxes.empty());
    // The window's client area keeps the design's 5625 × 8535 twips.
    QCOMPARE(editor.window().size(), pixelsOf(0, 0, 5625, 8535).size());

    QCOMPARE(editor.control<QLabel>(QStringLiteral("lblCurrentChar"))->text(), QStringLiteral("65 (0x41)"));
    auto* text = editor.control<QLineEdit>(QStringLiteral("txtWindowsChar"));
    QCOMPARE(text->text(), QStringLiteral("A"));
    QVERIFY(!text->isEnabled());
    QTest::keyClicks(text, QStringLiteral("xy"));
    QCOMPARE(text->text(), QStringLiteral("A"));
    // Heard under its caption; the empty label beside the code as nothing,
    // within its frame but not named after it.
    QCOMPARE(accessibleText(text), QStringLiteral("ANSI (WIN)"));
    QCOMPARE(labelledBy(text), QStringLiteral("Label7"));
    auto* windowsLabel = editor.control<QLabel>(QStringLiteral("lblWinChar"));
    QCOMPARE(accessibleText(windowsLabel), QString());
    QCOMPARE(labelledBy(windowsLabel), QStringLiteral("Frame3"));

    QCOMPARE(editor.control<QWidget>(QStringLiteral("fraZeichendef"))->height(), 2535 / 15);
    for (int index = 0; index < 256; ++index)
        QCOMPARE(editor.pixel(index)->isHidden(), index >= 64);

    // The preview shows the 8 white rows of the empty "A", the rest in the button face.
    const QImage previewPixels = editor.previewGlyph();
    QVERIFY(!previewPixels.isNull());
    const QRgb buttonFace = rgb(editor.control<PictureBox>(QStringLiteral("pctPreview"))->palette().color(QPalette::Button));
    for (int row = 0; row < 32; ++row)
        for (int column = 0; column < 8; ++column)
            QCOMPARE(rgbAt(previewPixels, column, row), row < 8 ? QRgb(0xFFFFFF) : buttonFace);

    // The reference shows cell 65 of the bitmap beside the program.
    QImage strip(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("ASCII8X14.BMP")));
    QVERIFY(!strip.isNull());
    const QImage reference = editor.referenceGlyph();
    QVERIFY(!reference.isNull());
    QCOMPARE(firstDifference(reference, strip.copy(8 * 65, 0, 8, 14)), QString());
}

void TestStartupLayout::tabOrderFollowsTheDesign()
{
    EditorUnderTest editor;
    QList<QWidget*> expected;
    for (const char* name : {"cmdLoad", "cmdBeenden", "cmdSave"})
        expected << editor.control<QWidget>(QString::fromLatin1(name));
    for (int index = 0; index < 64; ++index)
        expected << editor.pixel(index);
    for (const char* name :
         {"cboZeichenbreite", "cboZeichenhoehe", "cboBasislinie", "cboHilfslinie", "sldSelectCharacter", "cmdPreview"})
        expected << editor.control<QWidget>(QString::fromLatin1(name));

    // The window opens with the focus on the first control of the round.
    editor.window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&editor.window()));
    QCOMPARE(QApplication::focusWidget(), expected.first());
    // ...and its focus mark shows before the first Tab.
    QVERIFY(editor.window().testAttribute(Qt::WA_KeyboardFocusChange));

    // Tab walks the whole round and comes back to the start.
    QList<QWidget*> visited{QApplication::focusWidget()};
    for (qsizetype step = 0; step < expected.size(); ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget();
    }
    QCOMPARE(visited.mid(0, expected.size()), expected);
    QCOMPARE(visited.last(), expected.first());

    // Shift+Tab walks back.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), expected.last());
}

void TestStartupLayout::missingReferenceBitmapIsReportedOnce_data()
{
    QTest::addColumn<QByteArray>("bitmapContent");
    QTest::newRow("no file") << QByteArray();
    QTest::newRow("not a picture") << QByteArray("BM this is no bitmap");
}

void TestStartupLayout::missingReferenceBitmapIsReportedOnce()
{
    QFETCH(QByteArray, bitmapContent);

    QTemporaryDir programDirectory;
    QVERIFY(programDirectory.isValid());
    const QString bitmapPath = QDir(programDirectory.path()).filePath(QStringLiteral("ASCII8X14.BMP"));
    if (!bitmapContent.isEmpty())
        QVERIFY(writeFile(bitmapPath, bitmapContent));

    EditorUnderTest editor(programDirectory.path());
    const auto& boxes = editor.dialogs().messageBoxes;
    QCOMPARE(boxes.size(), std::size_t(1));
    QCOMPARE(boxes.front().icon, UserDialogs::Icon::Exclamation);
    QCOMPARE(boxes.front().title, QStringLiteral("Glyphora"));
    QCOMPARE(boxes.front().buttons, UserDialogs::Buttons::Ok);
    QVERIFY2(boxes.front().prompt.contains(QDir::toNativeSeparators(bitmapPath)), qPrintable(boxes.front().prompt));

    // The editor works on without reference glyphs.
    editor.clickPixel(9);
    QCOMPARE(rgb(editor.pixel(9)->backColor()), QRgb(0x000000));
    auto* slider = editor.control<Slider>(QStringLiteral("sldSelectCharacter"));
    QTest::keyClick(slider, Qt::Key_Down);
    QCOMPARE(slider->value(), 66);
    QCOMPARE(int(editor.font().glyphBuffer[65 * 32 + 1]), 0x40);
    QCOMPARE(editor.control<QLineEdit>(QStringLiteral("txtWindowsChar"))->text(), QStringLiteral("B"));

    auto* reference = editor.control<PictureBox>(QStringLiteral("Picture1"));
    QCOMPARE(accessibleText(reference), QStringLiteral("Kein Referenzzeichen"));
    const QImage drawn = drawnPixels(reference);
    const QRgb background = rgb(reference->palette().color(reference->backgroundRole()));
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            QCOMPARE(rgbAt(drawn, x, y), background);
    QCOMPARE(boxes.size(), std::size_t(1));
}

GLYPHORA_TEST_MAIN(TestStartupLayout)
#include "test_startup_layout.moc"
