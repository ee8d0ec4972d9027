// Load, save and quit from the editor window, driven through its buttons, with
// the person's answers scripted and real files in a temporary folder.

#include "combo_box.h"
#include "editor_under_test.h"
#include "file_size_limit.h"
#include "glyphora_test_main.h"
#include "picture_box.h"
#include "pixel_button.h"
#include "slider.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using Answer = UserDialogs::Answer;
using Buttons = UserDialogs::Buttons;
using Icon = UserDialogs::Icon;
using FileKind = ScriptedDialogs::FileDialog::Kind;

Q_DECLARE_METATYPE(UserDialogs::Answer)

namespace {

const QString quitQuestion =
    QStringLiteral("Achtung: Daten sind nicht gespeichert\nSollen die Daten vor dem Beenden gespeichert werden?");
const QString loadQuestion =
    QStringLiteral("Achtung: Daten sind nicht gespeichert\nSollen die Daten vor dem Laden gespeichert werden?");

// A font of `height` rows whose bytes differ from place to place, so that a
// row shown from the wrong place is seen.
QByteArray fontFile(int height)
{
    QByteArray bytes(256 * height, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 37 + i / 256 + 3);
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The grid's colours, button by button.
QList<QRgb> gridColours(const EditorUnderTest& editor)
{
    QList<QRgb> colours;
    for (int index = 0; index < 256; ++index)
        colours << editor.pixel(index)->backColor().rgb();
    return colours;
}

// The row byte that grid row `row` shows: bit 7 the leftmost button.
int gridRowByte(const EditorUnderTest& editor, int row)
{
    int rowByte = 0;
    for (int column = 0; column < 8; ++column)
        if (editor.pixel(8 * row + column)->backColor() == QColor(Qt::black))
            rowByte |= 0x80 >> column;
    return rowByte;
}

int visibleGridRows(const EditorUnderTest& editor)
{
    int rows = 0;
    while (rows < 32 && editor.pixel(8 * rows)->isVisible())
        ++rows;
    return rows;
}

// Clicks the button of that name, under a file-size limit of `limit` bytes
// unless it is negative. Returns false when the limit cannot be set here.
bool clickWithFileSizeLimit(EditorUnderTest& editor, const QString& buttonName, qint64 limit)
{
    if (limit < 0) {
        editor.click(buttonName);
        return true;
    }
    const FileSizeLimit fileSizeLimit(limit);
    if (!fileSizeLimit.isInForce())
        return false;
    editor.click(buttonName);
    return true;
}

// Whether the folder holds the font file `name` alone, with `content`.
bool onlyFileIs(const QString& folder, const QString& name, const QByteArray& content)
{
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    return entries == QStringList{name} && readFile(QDir(folder).filePath(name)) == content;
}

// How the window is asked to close.
enum class CloseRoute { QuitButton, CloseCall, CloseEvent };

// Asks the window to close by `route`; returns whether it agreed.
bool requestClose(EditorUnderTest& editor, CloseRoute route)
{
    switch (route) {
    case CloseRoute::QuitButton:
        editor.click(QStringLiteral("cmdBeenden"));
        return !editor.window().isVisible();
    case CloseRoute::CloseCall:
        return editor.window().close();
    case CloseRoute::CloseEvent: {
        QCloseEvent event;
        QApplication::sendEvent(&editor.window(), &event);
        return event.isAccepted();
    }
    }
    return false;
}

}  // namespace

Q_DECLARE_METATYPE(CloseRoute)

class TestWindowCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void quitWithoutChangesEndsAtOnce();
    void enterClicksTheFocusedButton_data();
    void enterClicksTheFocusedButton();
    void quitWithChangesAsksFirst_data();
    void quitWithChangesAsksFirst();
    void everyCloseRequestAsks_data();
    void everyCloseRequestAsks();

    void saveWritesTheUnstoredGridAndClearsTheFlag();
    void saveThatWroteNothingKeepsTheFlag_data();
    void saveThatWroteNothingKeepsTheFlag();

    void loadShowsTheFontAtItsHeight_data();
    void loadShowsTheFontAtItsHeight();
    void rejectedFileLeavesTheEditorAlone_data();
    void rejectedFileLeavesTheEditorAlone();
    void loadWithChangesAsksFirst_data();
    void loadWithChangesAsksFirst();

    void failureInACommandIsReportedAndTheEditorGoesOn();
    void failureInAPaintIsReportedOnceAfterThePaint();

private:
    QString pathOf(const QString& name) const { return dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> dir;
};

void TestWindowCommands::initTestCase()
{
    // The windows closed here must not end the test run.
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestWindowCommands::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestWindowCommands::quitWithoutChangesEndsAtOnce()
{
    EditorUnderTest editor;
    QVERIFY(!editor.font().isModified());
    editor.click(QStringLiteral("cmdBeenden"));
    QVERIFY(!editor.window().isVisible());
    QVERIFY(editor.dialogs().messageBoxes.empty());
    QVERIFY(editor.dialogs().fileDialogs.empty());
}

void TestWindowCommands::enterClicksTheFocusedButton_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<QString>("fileDialogTitle");  // empty: the window closes

    QTest::newRow("Laden, Return") << QStringLiteral("cmdLoad") << Qt::Key_Return << QStringLiteral("Laden");
    QTest::newRow("Speichern, keypad Enter") << QStringLiteral("cmdSave") << Qt::Key_Enter << QStringLiteral("Speichern");
    QTest::newRow("Beenden, Return") << QStringLiteral("cmdBeenden") << Qt::Key_Return << QString();
}

void TestWindowCommands::enterClicksTheFocusedButton()
{
    QFETCH(QString, button);
    QFETCH(Qt::Key, key);
    QFETCH(QString, fileDialogTitle);

    EditorUnderTest editor;
    auto* focused = editor.control<QWidget>(button);
    focused->setFocus();
    QTest::keyClick(focused, key);
    if (fileDialogTitle.isEmpty()) {
        QVERIFY(!editor.window().isVisible());
    } else {
        QCOMPARE(editor.dialogs().fileDialogs.size(), std::size_t(1));
        QCOMPARE(editor.dialogs().fileDialogs.front().request.title, fileDialogTitle);
    }
}

// The person toggles a pixel of "A", quits and answers the question, then the
// save dialog if one comes, which offers the font file. The window stays open
// unless the changes were written or deliberately dropped; when it stays, the
// next quit asks again.
void TestWindowCommands::quitWithChangesAsksFirst_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("saveConfirmed");
    QTest::addColumn<qint64>("fileSizeLimit");  // -1: none
    QTest::addColumn<bool>("ends");
    QTest::addColumn<bool>("written");

    QTest::newRow("cancel") << Answer::Cancel << false << qint64(-1) << false << false;
    QTest::newRow("no") << Answer::No << false << qint64(-1) << true << false;
    QTest::newRow("yes, saved") << Answer::Yes << true << qint64(-1) << true << true;
    QTest::newRow("yes, save dialog cancelled") << Answer::Yes << false << qint64(-1) << false << false;
    QTest::newRow("yes, disk full") << Answer::Yes << true << qint64(1024) << false << false;
}

void TestWindowCommands::quitWithChangesAsksFirst()
{
    QFETCH(Answer, answer);
    QFETCH(bool, saveConfirmed);
    QFETCH(qint64, fileSizeLimit);
    QFETCH(bool, ends);
    QFETCH(bool, written);

    EditorUnderTest editor;
    ScriptedDialogs& dialogs = editor.dialogs();
    const QString path = pathOf(QStringLiteral("font.fnt"));
    const QByteArray oldFont = fontFile(8);
    QVERIFY(writeFile(path, oldFont));
    editor.clickPixel(0);  // row 0, leftmost column
    const QList<QRgb> grid = gridColours(editor);

    dialogs.boxAnswers.push_back(answer);
    if (answer == Answer::Yes)
        dialogs.fileAnswers.push_back(saveConfirmed ? std::optional(path) : std::nullopt);
    if (!clickWithFileSizeLimit(editor, QStringLiteral("cmdBeenden"), fileSizeLimit))
        QSKIP("This system cannot lower the file-size limit.");

    QVERIFY(dialogs.messageBoxes.size() >= 1);
    QCOMPARE(dialogs.messageBoxes[0].prompt, quitQuestion);
    QCOMPARE(dialogs.messageBoxes[0].buttons, Buttons::YesNoCancel);
    QCOMPARE(dialogs.messageBoxes[0].icon, Icon::None);
    QCOMPARE(dialogs.messageBoxes[0].title, QStringLiteral("Beenden"));
    QCOMPARE(dialogs.fileDialogs.size(), std::size_t(answer == Answer::Yes ? 1 : 0));
    QVERIFY(dialogs.unanswered.isEmpty());
    if (fileSizeLimit >= 0) {
        QCOMPARE(dialogs.messageBoxes.size(), std::size_t(2));
        QCOMPARE(dialogs.messageBoxes[1].icon, Icon::Exclamation);
        QVERIFY(dialogs.messageBoxes[1].prompt.contains(path));
    }

    QCOMPARE(!editor.window().isVisible(), ends);
    if (written) {
        const QByteArray saved = readFile(path);
        QCOMPARE(saved.size(), 2048);
        QCOMPARE(quint8(saved[65 * 8]), quint8(0x80));
    } else {
        QVERIFY(onlyFileIs(dir->path(), QStringLiteral("font.fnt"), oldFont));
    }
    if (ends)
        return;

    // Still running: the font and the flag as they were, and asked again.
    QVERIFY(editor.font().isModified());
    QCOMPARE(gridColours(editor), grid);
    const std::size_t asked = dialogs.messageBoxes.size();
    dialogs.boxAnswers.push_back(Answer::Cancel);
    editor.click(QStringLiteral("cmdBeenden"));
    QCOMPARE(dialogs.messageBoxes.size(), asked + 1);
    QCOMPARE(dialogs.messageBoxes.back().prompt, quitQuestion);
    QVERIFY(editor.window().isVisible());
}

void TestWindowCommands::everyCloseRequestAsks_data()
{
    QTest::addColumn<CloseRoute>("route");
    QTest::newRow("quit button") << CloseRoute::QuitButton;
    QTest::newRow("close()") << CloseRoute::CloseCall;
    QTest::newRow("close event") << CloseRoute::CloseEvent;
}

void TestWindowCommands::everyCloseRequestAsks()
{
    QFETCH(CloseRoute, route);
    EditorUnderTest editor;
    ScriptedDialogs& dialogs = editor.dialogs();
    editor.clickPixel(9);

    dialogs.boxAnswers.push_back(Answer::Cancel);
    QVERIFY(!requestClose(editor, route));
    QVERIFY(editor.window().isVisible());
    QCOMPARE(dialogs.messageBoxes.size(), std::size_t(1));
    QCOMPARE(dialogs.messageBoxes[0].prompt, quitQuestion);
    QCOMPARE(dialogs.messageBoxes[0].title, QStringLiteral("Beenden"));
    QVERIFY(editor.font().isModified());

    dialogs.boxAnswers.push_back(Answer::No);
    QVERIFY(requestClose(editor, route));
    QCOMPARE(dialogs.messageBoxes.size(), std::size_t(2));
    QVERIFY(dialogs.fileDialogs.empty());
    QVERIFY(dialogs.unanswered.isEmpty());
}

// Pixels toggled on the character on show go into the file without leaving
// it first; a save that wrote the file clears the flag, so quitting asks nothing.
void TestWindowCommands::saveWritesTheUnstoredGridAndClearsTheFlag()
{
    EditorUnderTest editor;
    ScriptedDialogs& dialogs = editor.dialogs();
    QCOMPARE(editor.control<Slider>(QStringLiteral("sldSelectCharacter"))->value(), 65);
    editor.clickPixel(0);          // row 0, column 0
    editor.clickPixel(8 * 3 + 7);  // row 3, column 7
    editor.clickPixel(8 * 7 + 2);  // row 7, column 2
    editor.clickPixel(8 * 7 + 3);

    dialogs.fileAnswers.push_back(pathOf(QStringLiteral("a.fnt")));
    editor.click(QStringLiteral("cmdSave"));

    QCOMPARE(dialogs.fileDialogs.size(), std::size_t(1));
    QCOMPARE(dialogs.fileDialogs[0].kind, FileKind::Save);
    QCOMPARE(dialogs.fileDialogs[0].request.title, QStringLiteral("Speichern"));
    QVERIFY(dialogs.messageBoxes.empty());

    QByteArray expected(2048, '\0');
    expected[65 * 8 + 0] = char(0x80);
    expected[65 * 8 + 3] = char(0x01);
    expected[65 * 8 + 7] = char(0x30);
    QCOMPARE(readFile(pathOf(QStringLiteral("a.fnt"))), expected);
    QVERIFY(!editor.font().isModified());

    editor.click(QStringLiteral("cmdBeenden"));
    QVERIFY(!editor.window().isVisible());
    QVERIFY(dialogs.messageBoxes.empty());
}

void TestWindowCommands::saveThatWroteNothingKeepsTheFlag_data()
{
    QTest::addColumn<bool>("saveConfirmed");
    QTest::addColumn<qint64>("fileSizeLimit");  // -1: none
    QTest::newRow("dialog cancelled") << false << qint64(-1);
    QTest::newRow("disk full") << true << qint64(1024);
}

void TestWindowCommands::saveThatWroteNothingKeepsTheFlag()
{
    QFETCH(bool, saveConfirmed);
    QFETCH(qint64, fileSizeLimit);

    EditorUnderTest editor;
    ScriptedDialogs& dialogs = editor.dialogs();
    const QString path = pathOf(QStringLiteral("font.fnt"));
    const QByteArray oldFont = fontFile(8);
    QVERIFY(writeFile(path, oldFont));
    editor.clickPixel(5);
    const QList<QRgb> grid = gridColours(editor);
    dialogs.fileAnswers.push_back(saveConfirmed ? std::optional(path) : std::nullopt);
    if (!clickWithFileSizeLimit(editor, QStringLiteral("cmdSave"), fileSizeLimit))
        QSKIP("This system cannot lower the file-size limit.");

    QCOMPARE(dialogs.fileDialogs.size(), std::size_t(1));
    const int reports = saveConfirmed ? 1 : 0;
    QCOMPARE(dialogs.messageBoxes.size(), std::size_t(reports));
    if (reports) {
        QCOMPARE(dialogs.messageBoxes[0].icon, Icon::Exclamation);
        QVERIFY(dialogs.messageBoxes[0].prompt.contains(path));
    }
    QVERIFY(onlyFileIs(dir->path(), QStringLiteral("font.fnt"), oldFont));
    QVERIFY(editor.font().isModified());
    QCOMPARE(gridColours(editor), grid);

    // So the next quit still asks.
    dialogs.boxAnswers.push_back(Answer::Cancel);
    editor.click(QStringLiteral("cmdBeenden"));
    QCOMPARE(dialogs.messageBoxes.size(), std::size_t(reports + 1));
    QCOMPARE(dialogs.messageBoxes.back().prompt, quitQuestion);
    QVERIFY(editor.window().isVisible());
}

void TestWindowCommands::loadShowsTheFontAtItsHeight_data()
{
    QTest::addColumn<int>("height");
    QTest::newRow("1 row") << 1;
    QTest::newRow("8 rows, as shown") << 8;
    QTest::newRow("14 rows") << 14;
    QTest::newRow("32 rows") << 32;
}

void TestWindowCommands::loadShowsTheFontAtItsHeight()
{
    QFETCH(int, height);
    EditorUnderTest editor;
    ScriptedDialogs& dialogs = editor.dialogs();
    const QString path = pathOf(QStringLiteral("font.fnt"));
    const QByteArray file = fontFile(height);
    QVERIFY(writeFile(path, file));

    dialogs.fileAnswers.push_back(path);
    editor.click(QStringLiteral("cmdLoad"));

    // No unsaved changes: nothing asked before the open dialog.
    QVERIFY(dialogs.messageBoxes.empty());
    QCOMPARE(dialogs.fileDialogs.size(), std::size_t(1));
    QCOMPARE(dialogs.fileDialogs[0].kind, FileKind::Open);

    QCOMPARE(editor.control<ComboBox>(QStringLiteral("cboZeichenhoehe"))->currentText(), QString::number(height));
    QCOMPARE(int(editor.font().charHeight), height);
    QCOMPARE(int(editor.font().charWidth), 8);
    QCOMPARE(visibleGridRows(editor), height);
    QCOMPARE(editor.control<Slider>(QStringLiteral("sldSelectCharacter"))->value(), 65);
    for (int row = 0; row < height; ++row)
        QCOMPARE(gridRowByte(editor, row), int(quint8(file[65 * height + row])));
    QCOMPARE(editor.font().fontFileName, path);
    QVERIFY(!editor.font().isModified());
}

void TestWindowCommands::rejectedFileLeavesTheEditorAlone_data()
{
    QTest::addColumn<int>("length");
    QTest::newRow("one byte short of height 8") << 2047;
    QTest::newRow("empty") << 0;
    QTest::newRow("33 rows") << 33 * 256;
}

void TestWindowCommands::rejectedFileLeavesTheEditorAlone()
{
    QFETCH(int, length);
    EditorUnderTest editor;
    ScriptedDialogs& dialogs = editor.dialogs();
    const QString path = pathOf(QStringLiteral("bad.fnt"));
    QVERIFY(writeFile(path, QByteArray(length, char(0xFF))));

    // The person picks height 12 and inks a pixel: unsaved changes.
    auto* heights = editor.control<ComboBox>(QStringLiteral("cboZeichenhoehe"));
    heights->setFocus();
    for (int step = 0; step < 4; ++step)
        QTest::keyClick(heights, Qt::Key_Down);
    QCOMPARE(heights->currentText(), QStringLiteral("12"));
    editor.clickPixel(8 * 11 + 4);
    const QList<QRgb> grid = gridColours(editor);
    QVERIFY(editor.font().isModified());

    dialogs.boxAnswers.push_back(Answer::No);
    dialogs.fileAnswers.push_back(path);
    editor.click(QStringLiteral("cmdLoad"));

    QCOMPARE(dialogs.messageBoxes.size(), std::size_t(2));
    QCOMPARE(dialogs.messageBoxes[1].prompt, QStringLiteral("Ungültiges Dateiformat!"));
    QCOMPARE(int(editor.font().charHeight), 12);
    QCOMPARE(heights->currentText(), QStringLiteral("12"));
    QCOMPARE(visibleGridRows(editor), 12);
    QCOMPARE(gridColours(editor), grid);
    QVERIFY(editor.font().isModified());
}

// With unsaved changes the load asks first. Yes saves and goes on only when
// the file was written, No goes on without saving, Cancel stops.
void TestWindowCommands::loadWithChangesAsksFirst_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("saveTo");  // empty: the save dialog is cancelled
    QTest::addColumn<bool>("loads");

    QTest::newRow("yes, saved") << Answer::Yes << QStringLiteral("saved.fnt") << true;
    QTest::newRow("yes, save dialog cancelled") << Answer::Yes << QString() << false;
    QTest::newRow("yes, write failed") << Answer::Yes << QStringLiteral("missing/saved.fnt") << false;
    QTest::newRow("no") << Answer::No << QString() << true;
    QTest::newRow("cancel") << Answer::Cancel << QString() << false;
}

void TestWindowCommands::loadWithChangesAsksFirst()
{
    QFETCH(Answer, answer);
    QFETCH(QString, saveTo);
    QFETCH(bool, loads);

    EditorUnderTest editor;
    ScriptedDialogs& dialogs = editor.dialogs();
    const QString path = pathOf(QStringLiteral("font.fnt"));
    const QByteArray file = fontFile(8);
    QVERIFY(writeFile(path, file));
    editor.clickPixel(8 * 2 + 1);  // row 2, column 1
    const QList<QRgb> grid = gridColours(editor);

    dialogs.boxAnswers.push_back(answer);
    if (answer == Answer::Yes)
        dialogs.fileAnswers.push_back(saveTo.isEmpty() ? std::nullopt : std::optional(pathOf(saveTo)));
    dialogs.fileAnswers.push_back(path);
    editor.click(QStringLiteral("cmdLoad"));

    QVERIFY(!dialogs.messageBoxes.empty());
    QCOMPARE(dialogs.messageBoxes[0].prompt, loadQuestion);
    QCOMPARE(dialogs.messageBoxes[0].buttons, Buttons::YesNoCancel);
    QCOMPARE(dialogs.messageBoxes[0].icon, Icon::None);
    QCOMPARE(dialogs.messageBoxes[0].title, QStringLiteral("Laden"));

    QList<FileKind> asked;
    for (const auto& fileDialog : dialogs.fileDialogs)
        asked << fileDialog.kind;
    QList<FileKind> expected;
    if (answer == Answer::Yes)
        expected << FileKind::Save;
    if (loads)
        expected << FileKind::Open;
    QCOMPARE(asked, expected);

    if (answer == Answer::Yes && loads) {
        const QByteArray saved = readFile(pathOf(saveTo));
        QCOMPARE(saved.size(), 2048);
        QCOMPARE(quint8(saved[65 * 8 + 2]), quint8(0x40));
    }
    if (loads) {
        for (int row = 0; row < 8; ++row)
            QCOMPARE(gridRowByte(editor, row), int(quint8(file[65 * 8 + row])));
        QCOMPARE(editor.font().fontFileName, path);
        QVERIFY(!editor.font().isModified());
    } else {
        QCOMPARE(gridColours(editor), grid);
        QVERIFY(editor.font().fontFileName.isEmpty());
        QVERIFY(editor.font().isModified());
    }
}

// A height no list offers makes storing the grid fail: the failure must be
// reported in a box, and the editor must keep running with its font and flag.
void TestWindowCommands::failureInACommandIsReportedAndTheEditorGoesOn()
{
    EditorUnderTest editor;
    editor.clickPixel(0);
    editor.font().charHeight = 200;
    editor.dialogs().fileAnswers.push_back(pathOf(QStringLiteral("never.fnt")));

    editor.click(QStringLiteral("cmdSave"));

    QCOMPARE(editor.dialogs().messageBoxes.size(), std::size_t(1));
    const ScriptedDialogs::MessageBox& box = editor.dialogs().messageBoxes.front();
    QCOMPARE(box.title, QStringLiteral("Glyphora"));
    QVERIFY(box.prompt.contains(QStringLiteral("cmdPixel(256)")));
    QVERIFY(editor.dialogs().fileDialogs.empty());
    QVERIFY(!QFile::exists(pathOf(QStringLiteral("never.fnt"))));
    QVERIFY(editor.font().isModified());
    QVERIFY(editor.window().isVisible());

    editor.font().charHeight = 8;
    editor.clickPixel(1);
    QCOMPARE(editor.pixel(1)->backColor(), QColor(Qt::black));
}

// A width no list offers makes the preview's Paint handler fail: the box comes
// after the paint, not inside it, and the repaints that fail the same way ask
// nothing more until one succeeds.
void TestWindowCommands::failureInAPaintIsReportedOnceAfterThePaint()
{
    EditorUnderTest editor;
    auto* preview = editor.control<PictureBox>(QStringLiteral("pctPreview"));
    const std::vector<ScriptedDialogs::MessageBox>& boxes = editor.dialogs().messageBoxes;
    editor.font().charWidth = 9;

    preview->repaint();
    QVERIFY(boxes.empty());
    QTRY_COMPARE(boxes.size(), std::size_t(1));
    QVERIFY(boxes.front().prompt.contains(QStringLiteral("cmdPixel(256)")));
    preview->repaint();
    preview->repaint();
    QCoreApplication::processEvents();
    QCOMPARE(boxes.size(), std::size_t(1));

    editor.font().charWidth = 8;
    preview->repaint();
    editor.font().charWidth = 9;
    preview->repaint();
    QTRY_COMPARE(boxes.size(), std::size_t(2));
}

GLYPHORA_TEST_MAIN(TestWindowCommands)
#include "test_window_commands.moc"
