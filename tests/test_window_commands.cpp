// Load, save and quit from the editor window, driven through its buttons, with
// the person's answers scripted and real files in a temporary folder.

#include "combo_box.h"
#include "editor_under_test.h"
#include "file_size_limit.h"
#include "glyphora_test_main.h"
#include "picture_box.h"
#include "pixel_button.h"
#include "slider.h"
#include "test_files.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>
#include <string>

#ifdef Q_OS_WIN
#include <windows.h>
#undef MessageBox  // the scripted dialogs' own
#endif

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

// The grid's colours, button by button.
QList<QRgb> gridColours(const EditorUnderTest& editor)
{
    QList<QRgb> colours;
    for (int index = 0; index < 256; ++index)
        colours << editor.pixel(index)->backColor().rgb();
    return colours;
}

// The commands that may discard unsaved changes, and the ways the window is
// asked to close.
enum class Command { QuitButton, CloseCall, CloseEvent, Load, Save };

// Gives the command, under a file-size limit of `limit` bytes unless it is
// negative. Returns whether the window agreed to close.
bool give(EditorUnderTest& editor, Command command, qint64 limit)
{
    std::optional<FileSizeLimit> fileSizeLimit;
    if (limit >= 0)
        fileSizeLimit.emplace(limit);
    switch (command) {
    case Command::QuitButton:
    case Command::CloseCall:
        if (command == Command::QuitButton)
            editor.click(QStringLiteral("cmdBeenden"));
        return command == Command::QuitButton ? !editor.window().isVisible() : editor.window().close();
    case Command::CloseEvent: {
        QCloseEvent event;
        QApplication::sendEvent(&editor.window(), &event);
        return event.isAccepted();
    }
    case Command::Load:
    case Command::Save:
        editor.click(command == Command::Load ? QStringLiteral("cmdLoad") : QStringLiteral("cmdSave"));
    }
    return false;
}

// What is under the name a save goes to, before the save.
// On Windows also a file that another program holds open without letting it
// be removed, and a file whose backup's name a folder has.
enum class Existing { Nothing, File, ReadOnlyFile, Device, HiddenSystemFile, HeldOpen, BackupNameIsAFolder };
#ifdef Q_OS_WIN
const char* const nullDevice = "//./NUL";
#else
const char* const nullDevice = "/dev/null";
#endif

#ifdef Q_OS_WIN
std::wstring nativeName(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}
#endif

// Makes the file at `path` what `existing` says, with `content` in it.
bool prepare(const QString& path, Existing existing, const QByteArray& content)
{
    if (existing == Existing::Nothing || existing == Existing::Device)
        return true;
    if (!writeFile(path, content))
        return false;
    if (existing == Existing::ReadOnlyFile)
        return QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup);
#ifdef Q_OS_WIN
    if (existing == Existing::HiddenSystemFile)
        return ::SetFileAttributesW(nativeName(path).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
#endif
    if (existing == Existing::BackupNameIsAFolder)
        return QDir().mkdir(path + QLatin1Char('~'));
    return true;
}

// The box a failed command or paint shows: what failed, and that the font in
// memory is kept.
void checkFailureBox(const ScriptedDialogs::MessageBox& box)
{
    const QString kept = QStringLiteral("\n\nDer Font im Speicher bleibt erhalten.");
    QVERIFY2(box.prompt.startsWith(QStringLiteral("Laufzeitfehler: ")) && box.prompt.endsWith(kept)
                 && box.prompt.size() > 16 + kept.size(),
             qPrintable(box.prompt));
    QCOMPARE(box.buttons, Buttons::Ok);
    QCOMPARE(box.icon, Icon::Exclamation);
    QCOMPARE(box.title, QStringLiteral("Glyphora"));
}

}  // namespace

Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(Existing)

class TestWindowCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void quitWithoutChangesEndsAtOnce();
    void enterClicksTheFocusedButton_data();
    void enterClicksTheFocusedButton();
    void unsavedChangesAreKeptOrWritten_data();
    void unsavedChangesAreKeptOrWritten();

    void loadShowsOnlyAWholeFont_data();
    void loadShowsOnlyAWholeFont();

    void failureInACommandIsReportedAndTheEditorGoesOn();
    void failureInAPaintIsReportedOnceAfterThePaint();

private:
    QString pathOf(const QString& name) const { return QDir(dir->path()).filePath(name); }  // absolute: as given

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

// The person toggles pixels of "A", gives a command that would discard them
// and answers the question, then the save dialog if one comes. Quitting and
// loading go on only when the changes were written or deliberately dropped.
// A failed save says why; the font, the flag and the files stay as they were,
// and the next quit asks again while changes are unsaved.
void TestWindowCommands::unsavedChangesAreKeptOrWritten_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<Answer>("answer");     // to the question; Ok: none is asked
    QTest::addColumn<QString>("saveTo");    // in the save dialog, if one comes; empty: cancelled
    QTest::addColumn<qint64>("fileSizeLimit");  // -1: none
    QTest::addColumn<Existing>("existing");     // what is under the name saved to beforehand
    QTest::addColumn<bool>("written");
    QTest::addColumn<bool>("goesOn");  // the window closes, or the font is loaded
    QTest::addColumn<QString>("refusal");  // the end of a failed save's message; empty: any reason

    const auto row = [](const char* name, Command command, Answer answer, const char* saveTo, bool written,
                        bool goesOn, qint64 fileSizeLimit = -1, Existing existing = Existing::Nothing,
                        const QString& refusal = QString()) {
        QTest::newRow(name) << command << answer << QString::fromLatin1(saveTo) << fileSizeLimit << existing << written
                            << goesOn << refusal;
    };
    const char* saved = "saved.fnt";
    row("Beenden, cancel", Command::QuitButton, Answer::Cancel, "", false, false);
    row("Beenden, no", Command::QuitButton, Answer::No, "", false, true);
    row("Beenden, yes, saved", Command::QuitButton, Answer::Yes, saved, true, true);
    row("Beenden, yes, save dialog cancelled", Command::QuitButton, Answer::Yes, "", false, false);
    row("Beenden, yes, disk full", Command::QuitButton, Answer::Yes, saved, false, false, 1024);
    row("close(), cancel", Command::CloseCall, Answer::Cancel, "", false, false);
    row("close(), no", Command::CloseCall, Answer::No, "", false, true);
    row("close event, cancel", Command::CloseEvent, Answer::Cancel, "", false, false);
    row("close event, no", Command::CloseEvent, Answer::No, "", false, true);
    row("Speichern, saved", Command::Save, Answer::Ok, saved, true, true);
    row("Speichern, dialog cancelled", Command::Save, Answer::Ok, "", false, false);
    row("Speichern, disk full", Command::Save, Answer::Ok, saved, false, false, 1024);
    // What the file saved over is stays what it is, and some files are no
    // font's to take.
    row("Speichern, over a file", Command::Save, Answer::Ok, saved, true, true, -1, Existing::File);
    row("Speichern, over a read-only file", Command::Save, Answer::Ok, saved, false, false, -1, Existing::ReadOnlyFile,
        QStringLiteral("konnte nicht gespeichert werden, weil sie schreibgeschützt ist."));
    row("Speichern, onto a device", Command::Save, Answer::Ok, nullDevice, false, false, -1, Existing::Device,
        QStringLiteral("konnte nicht gespeichert werden, weil sie keine gewöhnliche Datei ist."));
#ifdef Q_OS_WIN
    row("Speichern, over a hidden system file", Command::Save, Answer::Ok, saved, true, true, -1,
        Existing::HiddenSystemFile);
    // ReplaceFileW's failures that leave both files under their names.
    const QString unchanged = QStringLiteral("konnte nicht geschrieben werden. Sie ist unverändert.\n");
    row("Speichern, over a file held open", Command::Save, Answer::Ok, saved, false, false, -1, Existing::HeldOpen,
        unchanged);
    row("Speichern, over a file whose backup's name a folder has", Command::Save, Answer::Ok, saved, false, false, -1,
        Existing::BackupNameIsAFolder, unchanged);
#endif
    row("Laden, yes, saved", Command::Load, Answer::Yes, saved, true, true);
    row("Laden, yes, save dialog cancelled", Command::Load, Answer::Yes, "", false, false);
    row("Laden, yes, write failed", Command::Load, Answer::Yes, "missing/saved.fnt", false, false);
    row("Laden, no", Command::Load, Answer::No, "", false, true);
    row("Laden, cancel", Command::Load, Answer::Cancel, "", false, false);
}

void TestWindowCommands::unsavedChangesAreKeptOrWritten()
{
    QFETCH(Command, command);
    QFETCH(Answer, answer);
    QFETCH(QString, saveTo);
    QFETCH(qint64, fileSizeLimit);
    QFETCH(Existing, existing);
    QFETCH(bool, written);
    QFETCH(bool, goesOn);
    QFETCH(QString, refusal);
    const bool quits = command != Command::Load && command != Command::Save;
    const bool saves = answer == Answer::Ok || answer == Answer::Yes;
    const bool loads = command == Command::Load && goesOn;

    EditorUnderTest editor;
    ScriptedDialogs& dialogs = editor.dialogs();
    const QString fontPath = pathOf(QStringLiteral("font.fnt"));
    const QByteArray oldFont = patternedBytes(2048);
    QVERIFY(writeFile(fontPath, oldFont));
    const QByteArray oldSaved = patternedBytes(512);
    QVERIFY(prepare(pathOf(saveTo), existing, oldSaved));
    // Rows 0, 3 and 7 of "A", on show and not yet stored.
    for (int index : {0, 8 * 3 + 7, 8 * 7 + 2, 8 * 7 + 3})
        editor.clickPixel(index);
    const QList<QRgb> grid = gridColours(editor);
    QByteArray edited(2048, '\0');
    edited[65 * 8 + 0] = char(0x80);
    edited[65 * 8 + 3] = char(0x01);
    edited[65 * 8 + 7] = char(0x30);

    if (answer != Answer::Ok)
        dialogs.boxAnswers.push_back(answer);
    if (saves)
        dialogs.fileAnswers.push_back(saveTo.isEmpty() ? std::nullopt : std::optional(pathOf(saveTo)));
    dialogs.fileAnswers.push_back(fontPath);
    if (fileSizeLimit >= 0 && !FileSizeLimit(fileSizeLimit).isInForce())
        QSKIP("This system cannot lower the file-size limit.");
#ifdef Q_OS_WIN
    const HANDLE held = existing != Existing::HeldOpen ? INVALID_HANDLE_VALUE
        : ::CreateFileW(nativeName(pathOf(saveTo)).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, 0, nullptr);
    QVERIFY((held != INVALID_HANDLE_VALUE) == (existing == Existing::HeldOpen));
    const auto closeHeld = qScopeGuard([held] { ::CloseHandle(held); });
#endif
    const bool closed = give(editor, command, fileSizeLimit);

    const std::size_t questions = answer == Answer::Ok ? 0 : 1;
    QVERIFY(dialogs.messageBoxes.size() >= questions);
    if (questions) {
        QCOMPARE(dialogs.messageBoxes[0].prompt, quits ? quitQuestion : loadQuestion);
        QCOMPARE(dialogs.messageBoxes[0].buttons, Buttons::YesNoCancel);
        QCOMPARE(dialogs.messageBoxes[0].icon, Icon::None);
        QCOMPARE(dialogs.messageBoxes[0].title, quits ? QStringLiteral("Beenden") : QStringLiteral("Laden"));
    }
    QList<FileKind> asked;
    for (const auto& fileDialog : dialogs.fileDialogs)
        asked << fileDialog.kind;
    QList<FileKind> expected;
    if (saves)
        expected << FileKind::Save;
    if (loads)
        expected << FileKind::Open;
    QCOMPARE(asked, expected);
    if (saves)
        QCOMPARE(dialogs.fileDialogs[0].request.title, QStringLiteral("Speichern"));
    QVERIFY(dialogs.unanswered.isEmpty());
    // A save that failed says so, naming the file.
    const bool failed = saves && !saveTo.isEmpty() && !written;
    QCOMPARE(dialogs.messageBoxes.size(), questions + (failed ? 1 : 0));
    if (failed) {
        QCOMPARE(dialogs.messageBoxes.back().icon, Icon::Exclamation);
        QVERIFY(dialogs.messageBoxes.back().prompt.contains(pathOf(saveTo)));
        QVERIFY2(dialogs.messageBoxes.back().prompt.contains(refusal), qPrintable(dialogs.messageBoxes.back().prompt));
    }

    // Nothing left beside the font, no backup and no new file unused.
    const bool inFolder = (written || existing != Existing::Nothing) && existing != Existing::Device;
    QStringList files = inFolder ? QStringList{"font.fnt", saveTo} : QStringList{"font.fnt"};
    if (existing == Existing::BackupNameIsAFolder)
        files << saveTo + QLatin1Char('~');
    QCOMPARE(QDir(dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot), files);
    QCOMPARE(readFile(fontPath), oldFont);
    if (written)
        QCOMPARE(readFile(pathOf(saveTo)), edited);
    else if (inFolder)
        QCOMPARE(readFile(pathOf(saveTo)), oldSaved);
#ifdef Q_OS_WIN
    if (existing == Existing::HiddenSystemFile)
        QCOMPARE(::GetFileAttributesW(nativeName(pathOf(saveTo)).c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
                 DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
#endif
    QCOMPARE(closed, quits && goesOn);
    QCOMPARE(editor.window().isVisible(), !closed || command == Command::CloseEvent);
    if (closed)
        return;

    if (loads) {
        for (int row = 0; row < 8; ++row)
            QCOMPARE(editor.gridRow(row), int(quint8(oldFont[65 * 8 + row])));
        QCOMPARE(editor.font().fontFileName, fontPath);
    } else {
        QCOMPARE(gridColours(editor), grid);
        QVERIFY(editor.font().fontFileName.isEmpty());
    }
    const bool unsaved = !written && !loads;
    QCOMPARE(bool(editor.font().isModified()), unsaved);
    // The next quit asks while changes are unsaved, and ends at once otherwise.
    dialogs.boxAnswers.push_back(Answer::Cancel);
    editor.click(QStringLiteral("cmdBeenden"));
    QCOMPARE(dialogs.messageBoxes.size(), questions + (failed ? 1 : 0) + (unsaved ? 1 : 0));
    if (unsaved)
        QCOMPARE(dialogs.messageBoxes.back().prompt, quitQuestion);
    QCOMPARE(editor.window().isVisible(), unsaved);
}

// A whole font is shown at its height, with nothing asked before the open
// dialog. Any other length is refused; the person had picked height 12,
// inked a pixel and let the change go, and all of that stays on screen.
void TestWindowCommands::loadShowsOnlyAWholeFont_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("height");  // 0: the file is refused
    QTest::newRow("1 row") << patternedBytes(256) << 1;
    QTest::newRow("8 rows, as shown") << patternedBytes(2048) << 8;
    QTest::newRow("14 rows") << patternedBytes(3584) << 14;
    QTest::newRow("32 rows") << patternedBytes(8192) << 32;
    QTest::newRow("one byte short of height 8") << QByteArray(2047, char(0xFF)) << 0;
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("33 rows") << QByteArray(33 * 256, char(0xFF)) << 0;
}

void TestWindowCommands::loadShowsOnlyAWholeFont()
{
    QFETCH(QByteArray, file);
    QFETCH(int, height);
    const bool refused = height == 0;
    EditorUnderTest editor;
    ScriptedDialogs& dialogs = editor.dialogs();
    auto* heights = editor.control<ComboBox>(QStringLiteral("cboZeichenhoehe"));
    const QString path = pathOf(QStringLiteral("font.fnt"));
    QVERIFY(writeFile(path, file));
    if (refused) {
        heights->setFocus();
        for (int step = 0; step < 4; ++step)
            QTest::keyClick(heights, Qt::Key_Down);
        QCOMPARE(heights->currentText(), QStringLiteral("12"));
        editor.clickPixel(8 * 11 + 4);
        QVERIFY(editor.font().isModified());
        dialogs.boxAnswers.push_back(Answer::No);
    }
    const QList<QRgb> grid = gridColours(editor);

    dialogs.fileAnswers.push_back(path);
    editor.click(QStringLiteral("cmdLoad"));

    const int shownHeight = refused ? 12 : height;
    QCOMPARE(heights->currentText(), QString::number(shownHeight));
    QCOMPARE(int(editor.font().charHeight), shownHeight);
    QCOMPARE(editor.shownGrid().height(), shownHeight);
    QCOMPARE(bool(editor.font().isModified()), refused);
    if (refused) {
        QCOMPARE(dialogs.messageBoxes.size(), std::size_t(2));
        QCOMPARE(dialogs.messageBoxes[1].prompt, QStringLiteral("Ungültiges Dateiformat!"));
        QCOMPARE(gridColours(editor), grid);
        return;
    }
    QVERIFY(dialogs.messageBoxes.empty());
    QCOMPARE(dialogs.fileDialogs.size(), std::size_t(1));
    QCOMPARE(dialogs.fileDialogs[0].kind, FileKind::Open);
    QCOMPARE(int(editor.font().charWidth), 8);
    QCOMPARE(editor.control<Slider>(QStringLiteral("sldSelectCharacter"))->value(), 65);
    for (int row = 0; row < height; ++row)
        QCOMPARE(editor.gridRow(row), int(quint8(file[65 * height + row])));
    QCOMPARE(editor.font().fontFileName, path);
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
    checkFailureBox(editor.dialogs().messageBoxes.front());
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
    checkFailureBox(boxes.front());
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
