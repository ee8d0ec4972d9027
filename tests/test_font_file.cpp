#include "at_system_call.h"
#include "disk_writes.h"
#include "file_size_limit.h"
#include "modcode.h"
#include "scripted_dialogs.h"
#include "test_files.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <acl/libacl.h>
#include <fiu-control.h>
#include <fiu.h>
#include <fcntl.h>
#include <sys/acl.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <thread>

using Buttons = UserDialogs::Buttons;
using Icon = UserDialogs::Icon;
// Makes the file at the path what a test needs it to be; false where that is not possible.
using Preparation = std::function<bool(const char* path)>;
Q_DECLARE_METATYPE(Preparation)
// What else there is to a failing save.
enum class Circumstance { none, anotherSaveHoldsTheFile, backupNameIsALink };
Q_DECLARE_METATYPE(Circumstance)

namespace {

const QString fontFilter = QStringLiteral("Textdateien (*.FNT)|*.fnt|Alle Dateien (*.*)|*.*");

QByteArray asByteArray(const std::vector<std::uint8_t>& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

// Everything below `root`, hidden entries too: relative path to the file's
// content, or to what it is when no regular file.
// Two equal snapshots mean nothing was written, left behind or removed.
QMap<QString, QByteArray> snapshot(const QString& root)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo entry = it.fileInfo();
        const QByteArray shown = entry.isDir() ? QByteArray("<dir>")
            : entry.isFile() ? readFile(path)
                             : QByteArray("<special>");  // a FIFO might never answer a read
        entries.insert(QDir(root).relativeFilePath(path), shown);
    }
    return entries;
}

const QByteArray othersContent = "not a font";

// Files beside the font at `path` that are not ours, named as other tools
// and people name theirs, one of them read-only where the file system has
// permissions, each with othersContent: a save must leave them as they are.
// Their paths; empty when one could not be made.
QStringList othersFilesBeside(const QString& path)
{
    const QFileInfo font(path);
    const QString hidden = QLatin1Char('.') + font.fileName().left(247) + QLatin1Char('.');
    QStringList made;
    for (const char* ending : {"backup", "config", "a1B2c3", "swp", "keepme"})
        if (!writeFile(made.emplace_back(font.dir().filePath(hidden + QLatin1String(ending))), othersContent))
            return {};
    QFile::setPermissions(made.last(), QFile::ReadOwner);
    return made;
}

// The one message a failed save shows: the file, and what failed, with
// `ending`, or with any reason on a line of its own when that is empty.
void checkOneSaveError(const ScriptedDialogs& dialogs, const QString& path, const QString& ending)
{
    QCOMPARE(dialogs.messageBoxes.size(), std::size_t(1));
    const auto& box = dialogs.messageBoxes.front();
    QVERIFY2(box.prompt.startsWith(QStringLiteral("Die Datei „%1“ ").arg(path)), qPrintable(box.prompt));
    const QString lastLine = box.prompt.split(QLatin1Char('\n')).last();
    if (ending.isEmpty())
        QVERIFY2(box.prompt.contains(QLatin1Char('\n')) && !lastLine.isEmpty(), qPrintable(box.prompt));
    QVERIFY2(box.prompt.contains(ending), qPrintable(box.prompt));
    QCOMPARE(box.buttons, Buttons::Ok);
    QCOMPARE(box.icon, Icon::Exclamation);
    QCOMPARE(box.title, QStringLiteral("Glyphora"));
}

// What a save must keep of a file besides its bytes: whether it is a link,
// owner, group, mode, links, access control list and the attribute
// "user.author".
QString whatTheFileIs(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    ::stat(name.constData(), &status);
    QString access;
    char author[64] = "";
    if (acl_t acl = ::acl_get_file(name.constData(), ACL_TYPE_ACCESS)) {
        char* text = ::acl_to_any_text(acl, nullptr, ',', 0);
        access = QString::fromUtf8(text);
        ::acl_free(text);
        ::acl_free(acl);
    }
    ::getxattr(name.constData(), "user.author", author, sizeof author - 1);
    return QStringLiteral("%1%2:%3 %4 %5 links, ACL %6, author %7")
        .arg(QFileInfo(path).isSymLink() ? QStringLiteral("link to ") : QString())
        .arg(status.st_uid).arg(status.st_gid).arg(status.st_mode, 0, 8).arg(status.st_nlink)
        .arg(access, QString::fromUtf8(author));
}

// Sees whether anything was written into a file since it began to watch,
// even when the old bytes were put back afterwards.
struct WriteWatch
{
    explicit WriteWatch(const QString& path) { ::inotify_add_watch(events, QFile::encodeName(path).constData(), IN_MODIFY); }
    ~WriteWatch() { ::close(events); }
    bool sawWrite() const { return ::read(events, std::array<char, 4096>().data(), 4096) > 0; }

    const int events = ::inotify_init1(IN_NONBLOCK);
};

ino_t inodeOf(const QString& path)
{
    struct stat status {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return status.st_ino;
}

// Saves as the test runs, or as a person without root rights: in a program of
// its own that first takes such a person's user and groups. True when the
// file was written and nothing had to be said.
bool save(modCode& store, const QString& path, bool asPerson)
{
    if (asPerson) {
        QProcess saver;
        saver.start(QStringLiteral(SAVE_AS_PERSON), {path});
        saver.write(asByteArray(store.fontTable));
        saver.closeWriteChannel();
        return saver.waitForFinished(5000) && saver.exitStatus() == QProcess::NormalExit && saver.exitCode() == 0;
    }
    ScriptedDialogs dialogs;
    dialogs.fileAnswers = {path};
    return store.saveFontFile(dialogs) && dialogs.messageBoxes.empty();
}

// Gives the file to `owner` and the group 4343, in a folder that group may
// write to; false when only root could.
bool shareWithGroup(const char* path, uid_t owner, mode_t mode)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(path)).path());
    return ::geteuid() == 0 && ::chown(folder.constData(), 0, 4343) == 0 && ::chmod(folder.constData(), 0775) == 0
        && ::chown(path, owner, 4343) == 0 && ::chmod(path, mode) == 0;
}

// Sets ("+i") or clears ("-i") a file attribute; false where that is not possible.
bool changeAttribute(const char* change, const QString& path)
{
    return QProcess::execute(QStringLiteral("chattr"), {QString::fromLatin1(change), path}) == 0;
}

// Makes `folder` refuse new files, or takes that back: by its permissions for
// a normal user, by the immutable attribute for root, who may write anywhere.
bool lockFolder(const QString& folder, bool locked)
{
    if (::geteuid() != 0) {
        const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner;
        return QFile::setPermissions(folder, locked ? readOnly : readOnly | QFile::WriteOwner);
    }
    return changeAttribute(locked ? "+i" : "-i", folder);
}

// A store as the editor leaves it, with something in every field that a load
// must not touch.
std::unique_ptr<modCode> editedStore()
{
    auto store = std::make_unique<modCode>();
    store->charHeight = 8;
    store->charWidth = 8;
    store->fontFileName = QStringLiteral("/fonts/earlier.fnt");
    store->dataModified = truthTrue;
    store->glyphBuffer.fill(0x5A);
    store->fontTable = {1, 2, 3};
    return store;
}

}  // namespace

class TestFontFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void cancelledDialogsAskRightAndChangeNothing();

    void loadReadsEveryWholeHeight_data();
    void loadReadsEveryWholeHeight();
    void loadRejectsWrongLengths_data();
    void loadRejectsWrongLengths();
    void loadAsksAgainForAnythingButARegularFile();

    void saveThenLoadGivesBackTheFont_data();
    void saveThenLoadGivesBackTheFont();
    void saveFailureReportsAndKeepsEverything_data();
    void saveFailureReportsAndKeepsEverything();
    void saveKeepsWhatTheFileIs_data();
    void saveKeepsWhatTheFileIs();
    void loadOpensNoFifoSwappedInMeanwhile();
    void saveWritesNoFileSwappedInMeanwhile_data();
    void saveWritesNoFileSwappedInMeanwhile();
    void crashLeavesAWholeFont_data();
    void crashLeavesAWholeFont();
    void powerCutAfterSaveKeepsTheNewFont();

private:
    QString pathOf(const QString& name) const { return dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> dir;
};

void TestFontFile::initTestCase()
{
    // As the program does at start-up, so that a write beyond a file-size
    // limit fails instead of ending the test run.
    ignoreFileSizeLimitSignal();
    QCOMPARE(fiu_init(0), 0);
}

void TestFontFile::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestFontFile::cancelledDialogsAskRightAndChangeNothing()
{
    auto store = editedStore();
    store->charHeight = 14;
    store->packFontTable();
    const auto tableBefore = store->fontTable;
    ScriptedDialogs dialogs;
    dialogs.fileAnswers = {std::nullopt, std::nullopt};

    QCOMPARE(store->saveFontFile(dialogs), false);
    QCOMPARE(store->loadFontFile(dialogs), std::int16_t(0));

    QCOMPARE(dialogs.fileDialogs.size(), std::size_t(2));
    const auto& save = dialogs.fileDialogs[0];
    QCOMPARE(save.kind, ScriptedDialogs::FileDialog::Kind::Save);
    QCOMPARE(save.request.title, QStringLiteral("Speichern"));
    QCOMPARE(save.request.filter, fontFilter);
    QCOMPARE(save.request.fileName, QStringLiteral("/fonts/earlier.fnt"));
    // The open dialog starts empty, whatever was loaded before.
    const auto& load = dialogs.fileDialogs[1];
    QCOMPARE(load.kind, ScriptedDialogs::FileDialog::Kind::Open);
    QCOMPARE(load.request.title, QStringLiteral("Laden"));
    QCOMPARE(load.request.filter, fontFilter);
    QCOMPARE(load.request.fileName, QString());

    QVERIFY(dialogs.messageBoxes.empty());
    QVERIFY(dialogs.unanswered.isEmpty());
    QCOMPARE(store->fontTable, tableBefore);
    QCOMPARE(store->fontFileName, QStringLiteral("/fonts/earlier.fnt"));
    QVERIFY(snapshot(dir->path()).isEmpty());
}

void TestFontFile::loadReadsEveryWholeHeight_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("chosenAs");  // a symbolic link to it; empty: its own name
    QTest::addColumn<bool>("missingFirst");  // a missing file is chosen before it
    const QString font = QStringLiteral("font.fnt");
    QTest::newRow("256 bytes") << 256 << 1 << font << QString() << false;
    QTest::newRow("2048 bytes") << 2048 << 8 << font << QString() << false;
    QTest::newRow("3584 bytes") << 3584 << 14 << font << QString() << false;
    QTest::newRow("8192 bytes") << 8192 << 32 << font << QString() << false;
    QTest::newRow("dot-file") << 2048 << 8 << QStringLiteral(".hidden.fnt") << QString() << false;
    QTest::newRow("symbolic link") << 2048 << 8 << font << QStringLiteral("link.fnt") << false;
    QTest::newRow("after a missing one") << 512 << 2 << font << QString() << true;
}

void TestFontFile::loadReadsEveryWholeHeight()
{
    QFETCH(int, length);
    QFETCH(int, height);
    QFETCH(QString, name);
    QFETCH(QString, chosenAs);
    QFETCH(bool, missingFirst);
    QVERIFY(writeFile(pathOf(name), patternedBytes(length)));
    const QString path = pathOf(chosenAs.isEmpty() ? name : chosenAs);
    if (!chosenAs.isEmpty())
        QVERIFY(QFile::link(pathOf(name), path));
    auto store = editedStore();
    const auto glyphsBefore = store->glyphBuffer;
    ScriptedDialogs dialogs;
    if (missingFirst)
        dialogs.fileAnswers.push_back(pathOf(QStringLiteral("missing.fnt")));
    dialogs.fileAnswers.push_back(path);

    QCOMPARE(store->loadFontFile(dialogs), std::int16_t(height));

    QCOMPARE(asByteArray(store->fontTable), patternedBytes(length));
    QCOMPARE(store->fontFileName, path);
    QCOMPARE(dialogs.messageBoxes.size(), std::size_t(missingFirst ? 1 : 0));
    QVERIFY(dialogs.unanswered.isEmpty());
    // Unpacking and the geometry are the caller's business.
    QVERIFY(store->glyphBuffer == glyphsBefore);
    QCOMPARE(store->charHeight, 8);
    QCOMPARE(store->charWidth, 8);
    QCOMPARE(store->dataModified, truthTrue);
}

void TestFontFile::loadRejectsWrongLengths_data()
{
    QTest::addColumn<qint64>("length");   // -1: a kernel file that claims 4096 bytes and reads back far fewer
    QTest::addColumn<QString>("prompt");  // the message's end
    const QString wrongSize = QStringLiteral("Ungültiges Dateiformat!");
    QTest::newRow("empty") << qint64(0) << wrongSize;
    QTest::newRow("one byte short of 8 rows") << qint64(2047) << wrongSize;
    QTest::newRow("one byte over 8 rows") << qint64(2049) << wrongSize;
    QTest::newRow("33 rows") << qint64(8448) << wrongSize;
    QTest::newRow("3 GiB") << qint64(3) * 1024 * 1024 * 1024 << wrongSize;
    QTest::newRow("reading short, 16 rows claimed") << qint64(-1) << QStringLiteral(" von 4096 Bytes gelesen.");
}

void TestFontFile::loadRejectsWrongLengths()
{
    QFETCH(qint64, length);
    QFETCH(QString, prompt);
    const bool readsShort = length < 0;
    const QString path = readsShort ? QStringLiteral("/sys/kernel/uevent_seqnum") : pathOf(QStringLiteral("wrong.fnt"));
    if (readsShort && QFileInfo(path).size() != 4096)
        QSKIP("This system has no file that reads back shorter than its size.");
    if (!readsShort) {
        // Grown without writing: a large file stays sparse and costs no disk.
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (!file.resize(length))
            QSKIP(qPrintable(QStringLiteral("Cannot make a file of %1 bytes here: %2").arg(length).arg(file.errorString())));
    }
    auto store = editedStore();
    ScriptedDialogs dialogs;
    dialogs.fileAnswers = {path};

    QCOMPARE(store->loadFontFile(dialogs), std::int16_t(0));

    QCOMPARE(dialogs.messageBoxes.size(), std::size_t(1));
    const auto& box = dialogs.messageBoxes.front();
    QVERIFY2(readsShort ? box.prompt.contains(path) && box.prompt.endsWith(prompt) : box.prompt == prompt,
             qPrintable(box.prompt));
    QCOMPARE(box.title, readsShort ? QStringLiteral("Glyphora") : QStringLiteral("Fehler beim Laden!"));
    QCOMPARE(box.buttons, Buttons::Ok);
    QCOMPARE(box.icon, readsShort ? Icon::Exclamation : Icon::None);
    QCOMPARE(dialogs.fileDialogs.size(), std::size_t(1));  // no second attempt
    QCOMPARE(store->fontTable, (std::vector<std::uint8_t>{1, 2, 3}));
    QCOMPARE(store->fontFileName, QStringLiteral("/fonts/earlier.fnt"));
}

void TestFontFile::loadAsksAgainForAnythingButARegularFile()
{
    const QString missing = pathOf(QStringLiteral("missing.fnt"));
    const QString folder = pathOf(QStringLiteral("folder.fnt"));
    const QString fifo = pathOf(QStringLiteral("fifo.fnt"));
    QVERIFY(QDir().mkdir(folder));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Hold the FIFO open for writing with data in it, so that a load that
    // wrongly opens it fails this test instead of hanging.
    const int fifoWriter = ::open(QFile::encodeName(fifo).constData(), O_RDWR | O_NONBLOCK);
    QVERIFY(fifoWriter >= 0);
    const auto closeFifo = qScopeGuard([fifoWriter] { ::close(fifoWriter); });
    QCOMPARE(::write(fifoWriter, patternedBytes(256).constData(), 256), ssize_t(256));

    auto store = editedStore();
    ScriptedDialogs dialogs;
    dialogs.fileAnswers = {missing, folder, fifo, std::nullopt};

    QCOMPARE(store->loadFontFile(dialogs), std::int16_t(0));

    const QStringList chosen{missing, folder, fifo};
    QCOMPARE(dialogs.messageBoxes.size(), std::size_t(3));
    for (int i = 0; i < 3; ++i) {
        const auto& box = dialogs.messageBoxes[std::size_t(i)];
        QCOMPARE(box.prompt, chosen[i] + QStringLiteral(" nicht gefunden!"));
        QCOMPARE(box.buttons, Buttons::Ok);
        QCOMPARE(box.icon, Icon::Exclamation);
        QCOMPARE(box.title, QStringLiteral("Glyphora"));
    }
    QCOMPARE(dialogs.fileDialogs.size(), std::size_t(4));
    for (const auto& request : dialogs.fileDialogs) {
        QCOMPARE(request.kind, ScriptedDialogs::FileDialog::Kind::Open);
        QCOMPARE(request.request.fileName, QString());
    }
    QCOMPARE(store->fontFileName, QStringLiteral("/fonts/earlier.fnt"));
    QCOMPARE(store->fontTable, (std::vector<std::uint8_t>{1, 2, 3}));
}

void TestFontFile::saveThenLoadGivesBackTheFont_data()
{
    QTest::addColumn<bool>("overAFile");
    QTest::addColumn<int>("folderSyncError");  // of the folder's sync once the font has its name; 0: none
    for (const bool overAFile : {false, true})
        for (const int error : {0, EINVAL, EOPNOTSUPP, EIO})
            QTest::addRow("%s, %s", overAFile ? "over a file" : "new", error == 0 ? "synced" : std::strerror(error))
                << overAFile << error;
}

// The folder's sync comes once the new font has its name: a file system that
// cannot sync a folder at all counts as synced, and a failing one is told,
// saved as the font is, with the changes still unsaved for another try.
void TestFontFile::saveThenLoadGivesBackTheFont()
{
    QFETCH(bool, overAFile);
    QFETCH(int, folderSyncError);
    auto store = editedStore();
    for (int i = 0; i < modCode::lastGlyphIndex; ++i)
        store->glyphBuffer[std::size_t(i)] = std::uint8_t(i * 31 + 7);
    store->charHeight = 14;
    store->packFontTable();
    const QString path = pathOf(QStringLiteral("saved.fnt"));
    QVERIFY(!overAFile || writeFile(path, patternedBytes(8192)));
    QVERIFY(!othersFilesBeside(path).isEmpty());
    const QStringList names = snapshot(dir->path()).keys();
    ScriptedDialogs dialogs;
    dialogs.fileAnswers = {path, path};

    QVERIFY(!folderSyncError || failSystemCall(2, "posix/io/sync/fsync", folderSyncError));
    const bool done = store->saveFontFile(dialogs);
    stopWatchingSystemCalls();

    QCOMPARE(done, folderSyncError != EIO);
    if (done)
        QVERIFY(dialogs.messageBoxes.empty());
    else
        checkOneSaveError(dialogs, path, QStringLiteral("wurde gespeichert, ist aber noch nicht sicher auf der Platte"));
    QCOMPARE(store->fontFileName, QStringLiteral("/fonts/earlier.fnt"));  // a save keeps the loaded name
    QCOMPARE(snapshot(dir->path()).keys(), names + (overAFile ? QStringList() : QStringList{QStringLiteral("saved.fnt")}));
    const QByteArray saved = readFile(path);
    QCOMPARE(saved.size(), 3584);
    QCOMPARE(saved, asByteArray(store->fontTable));
    QCOMPARE(quint8(saved[13]), store->glyphBuffer[13]);  // glyph 0 ends at byte 13
    QCOMPARE(quint8(saved[14]), store->glyphBuffer[32]);  // glyph 1 starts at byte 14

    auto loaded = std::make_unique<modCode>();
    QCOMPARE(loaded->loadFontFile(dialogs), std::int16_t(14));
    QCOMPARE(loaded->fontTable, store->fontTable);
}

void TestFontFile::saveFailureReportsAndKeepsEverything_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<qint64>("fileSizeLimit");  // -1: none
    QTest::addColumn<QString>("failingCall");   // as libfiu names it, failing once with `error`; empty: none
    QTest::addColumn<int>("failingCallNumber"); // which call of it fails
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("ending");  // of the message; empty: any reason on a line of its own
    QTest::addColumn<Circumstance>("circumstance");
    const auto row = [](const char* name, const char* target, qint64 limit, const QString& ending,
                        Circumstance circumstance = Circumstance::none) {
        QTest::newRow(name) << QString::fromUtf8(target) << limit << QString() << 0 << 0 << ending << circumstance;
    };
    row("into a missing folder", "missing/font.fnt", -1, QString());
    row("below a regular file", "plain.fnt/font.fnt", -1, QString());
    const QString noNewFile = QStringLiteral("keine neue Datei angelegt werden kann.\n");
    row("into a folder that allows no new file", "locked/font.fnt", -1, noNewFile);
    row("over a file in a folder that allows no new file", "locked/old.fnt", -1, noNewFile);
    row("over a file in an append-only folder", "append-only/old.fnt", -1,
        QStringLiteral("“ keine Datei ersetzt werden kann."));
    row("name with bytes that are no UTF-8", "f\xff\xfe.fnt", -1, QStringLiteral("wie er gewählt wurde."));
    row("while another save holds it", "plain.fnt", -1,
        QStringLiteral("konnte nicht gespeichert werden, weil sie gerade anderswo gespeichert wird."),
        Circumstance::anotherSaveHoldsTheFile);
    row("into a file whose backup's name is a link", "linked.fnt", -1,
        QStringLiteral("~“, der Name ihrer Sicherungskopie, keine gewöhnliche Datei ist."),
        Circumstance::backupNameIsALink);
    const QString notRegular = QStringLiteral("konnte nicht gespeichert werden, weil sie keine gewöhnliche Datei ist.");
    row("onto a folder", "folder", -1, notRegular);
    row("onto a FIFO", "fifo.fnt", -1, notRegular);
    row("onto a read-only file", "read-only.fnt", -1,
        QStringLiteral("konnte nicht gespeichert werden, weil sie schreibgeschützt ist."));
    // A full disk, as a file-size limit makes it: the new file's write stops
    // short, and the next one says why.
    const QString tooLarge = QLatin1Char('\n') + QString::fromLocal8Bit(std::strerror(EFBIG));
    row("over 2048 bytes, no room at all", "plain.fnt", 0, tooLarge);
    row("over 2048 bytes, room for 1 KiB", "plain.fnt", 1024, tooLarge);
    row("over 8192 bytes, no room at all", "large.fnt", 0, tooLarge);
    row("over 8192 bytes, room for 1 KiB", "large.fnt", 1024, tooLarge);
    // A file with a second hard link is written into: the room for the new
    // font is taken first, so that the limit stops the save before it writes.
    row("into 256 bytes, room for 1 KiB", "linked.fnt", 1024, tooLarge);
    // A failing disk or a full one, as the system reports them: a new file, a
    // file replaced by a new one, and one written into, grown from 256 bytes.
    // A file written into syncs its backup, the folder and then itself, the
    // new bytes in it: the old ones must come back.
    const auto failingRow = [](const char* target, const char* call, int number, int error) {
        const QString unchanged = QStringLiteral("Sie ist unverändert.\n");
        QTest::addRow("%s, %s %d fails with %s", target, call, number, error == EIO ? "EIO" : "ENOSPC")
            << QString::fromUtf8(target) << qint64(-1) << QStringLiteral("posix/io/") + QString::fromUtf8(call)
            << number << error
            << (number == 3 ? unchanged : QString()) + QString::fromLocal8Bit(std::strerror(error)) << Circumstance::none;
    };
    for (const char* target : {"new.fnt", "plain.fnt", "linked.fnt"})
        for (const char* call : {"oc/open", "rw/write", "sync/fsync"})
            for (const int error : {EIO, ENOSPC})
                failingRow(target, call, 1, error);
    failingRow("linked.fnt", "sync/fsync", 2, EIO);
    failingRow("linked.fnt", "sync/fsync", 3, EIO);
}

void TestFontFile::saveFailureReportsAndKeepsEverything()
{
    QFETCH(QString, target);
    QFETCH(qint64, fileSizeLimit);
    QFETCH(QString, failingCall);
    QFETCH(int, failingCallNumber);
    QFETCH(int, error);
    QFETCH(QString, ending);
    QFETCH(Circumstance, circumstance);
    for (const char* folder : {"folder", "locked", "append-only"})
        QVERIFY(QDir(dir->path()).mkdir(QString::fromLatin1(folder)));
    const std::pair<const char*, QByteArray> files[] = {
        {"folder/inside.fnt", QByteArray(256, 'i')}, {"plain.fnt", QByteArray(2048, 'p')},
        {"large.fnt", patternedBytes(8192)},         {"linked.fnt", patternedBytes(256)},
        {"locked/old.fnt", QByteArray(512, 'o')},    {"append-only/old.fnt", QByteArray(512, 'o')},
        {"read-only.fnt", QByteArray(2048, 'r')}};
    for (const auto& [name, content] : files)
        QVERIFY(writeFile(pathOf(QString::fromLatin1(name)), content));
    QVERIFY(QFile::link(pathOf(QStringLiteral("linked.fnt")), pathOf(QStringLiteral("symbolic.fnt"))));
    QCOMPARE(::link(QFile::encodeName(pathOf(QStringLiteral("linked.fnt"))).constData(),
                    QFile::encodeName(pathOf(QStringLiteral("hard.fnt"))).constData()), 0);
    QVERIFY(QFile::setPermissions(pathOf(QStringLiteral("read-only.fnt")), QFile::ReadOwner | QFile::ReadGroup));
    // A save that opens the FIFO would wait for a reader for ever: ctest's
    // time limit then fails the test.
    QCOMPARE(::mkfifo(QFile::encodeName(pathOf(QStringLiteral("fifo.fnt"))).constData(), 0644), 0);
    // Qt cannot name this one to remove it.
    const QByteArray notUtf8 = QFile::encodeName(dir->path()).append("/f\xff\xfe.fnt");
    QCOMPARE(::close(::creat(notUtf8.constData(), 0644)), 0);
    const auto removeNotUtf8 = qScopeGuard([&] { ::unlink(notUtf8.constData()); });
    if (!lockFolder(pathOf(QStringLiteral("locked")), true))
        QSKIP("Cannot lock a folder against new files here.");
    const auto unlock = qScopeGuard([&] { lockFolder(pathOf(QStringLiteral("locked")), false); });
    const bool appendOnly = changeAttribute("+a", pathOf(QStringLiteral("append-only")));
    const auto allowRemoving = qScopeGuard([&] { changeAttribute("-a", pathOf(QStringLiteral("append-only"))); });
    if (target.startsWith(QStringLiteral("append-only/")) && !appendOnly)
        QSKIP("Cannot make a folder append-only here.");
    if (circumstance == Circumstance::backupNameIsALink)
        QVERIFY(QFile::link(pathOf(QStringLiteral("plain.fnt")), pathOf(QStringLiteral("linked.fnt~"))));
    const auto before = snapshot(dir->path());

    auto store = editedStore();
    store->packFontTable();
    const QString path = pathOf(target);
    ScriptedDialogs dialogs;
    dialogs.fileAnswers = {path};
    const WriteWatch watch(path);
    const bool savedMeanwhile = circumstance == Circumstance::anotherSaveHoldsTheFile;
    const int otherSave = savedMeanwhile ? ::open(QFile::encodeName(path).constData(), O_RDONLY) : -1;
    const auto endOtherSave = qScopeGuard([&] {
        if (otherSave >= 0)
            ::close(otherSave);
    });
    QVERIFY(!savedMeanwhile || ::flock(otherSave, LOCK_EX) == 0);

    {  // the failing call or the limit, for the save alone
        const QByteArray point = failingCall.toLatin1();
        QVERIFY(point.isEmpty() || failSystemCall(failingCallNumber, point.constData(), error));
        const auto stopWatching = qScopeGuard([] { stopWatchingSystemCalls(); });
        std::optional<FileSizeLimit> limit;
        if (fileSizeLimit >= 0 && !limit.emplace(fileSizeLimit).isInForce())
            QSKIP("This system cannot lower the file-size limit.");
        QCOMPARE(store->saveFontFile(dialogs), false);
    }

    checkOneSaveError(dialogs, path, ending);
    QCOMPARE(snapshot(dir->path()), before);
    QVERIFY(store->isModified());
    // Only a file written into sees writes: its old bytes put back.
    QVERIFY(!watch.sawWrite() || target == "linked.fnt");
}

void TestFontFile::saveKeepsWhatTheFileIs_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Preparation>("prepare");  // makes the file what it is; false: not possible here
    QTest::addColumn<bool>("replaced");        // by a new file, or written into
    QTest::addColumn<bool>("asPerson");        // saved by a person without root rights (uid 4242)
    const auto row = [](const char* name, Preparation prepare, bool replaced, bool asPerson = false,
                        const QString& file = QStringLiteral("font.fnt")) {
        QTest::newRow(name) << file << prepare << replaced << asPerson;
    };
    const Preparation asItIs = [](const char*) { return true; };
    const Preparation secondLink = [](const char* path) {
        return ::link(path, QFileInfo(QFile::decodeName(path)).dir().filePath(QStringLiteral("second")).toLocal8Bit()) == 0;
    };
    const QString longName(255, QLatin1Char('n'));
    row("own file", asItIs, true);
    row("another owner and group, set-group-ID", [](const char* path) {
        return ::geteuid() == 0 && ::chown(path, 4242, 4343) == 0 && ::chmod(path, 02664) == 0;
    }, true);
    row("person's own file, shared group", [](const char* path) { return shareWithGroup(path, 4242, 0640); }, true, true);
    row("colleague's file, shared group", [](const char* path) { return shareWithGroup(path, 0, 0664); }, false, true);
    row("ACL entry and attribute", [](const char* path) {
        const acl_t acl = ::acl_from_text("u::rw-,u:4242:rw-,g::r--,m::rw-,o::r--");
        const bool done = ::acl_set_file(path, ACL_TYPE_ACCESS, acl) == 0
            && ::setxattr(path, "user.author", "Anna", 4, 0) == 0;
        ::acl_free(acl);
        return done;
    }, true);
    row("second hard link", secondLink, false);
    row("symbolic link", [](const char* path) {
        const QByteArray target = QByteArray(path).append(".target");
        return ::rename(path, target.constData()) == 0 && ::symlink(target.constData(), path) == 0;
    }, true, false, QStringLiteral("link.fnt"));
    row("255-byte name", asItIs, true, false, longName);
    row("255-byte name, second hard link", secondLink, false, false, longName);  // a backup's name one shorter
}

// Saved twice: the second save meets the file as the first one left it.
void TestFontFile::saveKeepsWhatTheFileIs()
{
    QFETCH(QString, name);
    QFETCH(Preparation, prepare);
    QFETCH(bool, replaced);
    QFETCH(bool, asPerson);
    const QString path = pathOf(name);
    QVERIFY(writeFile(path, patternedBytes(8192)));
    if (!prepare(QFile::encodeName(path).constData()))
        QSKIP("Cannot make such a file here.");
    QVERIFY(!othersFilesBeside(path).isEmpty());
    const QString before = whatTheFileIs(path);
    const QStringList names = snapshot(dir->path()).keys();

    auto store = editedStore();
    for (const std::uint8_t height : {14, 8}) {
        store->charHeight = height;
        store->packFontTable();
        const ino_t inode = inodeOf(path);
        QVERIFY(save(*store, path, asPerson));
        QCOMPARE(inodeOf(path) != inode, replaced);
    }

    QCOMPARE(readFile(path), asByteArray(store->fontTable));  // no tail of the longer file
    QCOMPARE(whatTheFileIs(path), before);
    QCOMPARE(snapshot(dir->path()).keys(), names);
}

// Somebody swaps the chosen font for a FIFO with data in it at one system
// call of the load, at each one in turn: the load reads the font whole or
// asks again, and never takes the FIFO for a font, nor waits on one.
void TestFontFile::loadOpensNoFifoSwappedInMeanwhile()
{
    const QString path = pathOf(QStringLiteral("font.fnt"));
    const QByteArray font = patternedBytes(3584);
    int fifoWriter = -1;
    const auto closeFifo = qScopeGuard([&] { ::close(std::exchange(fifoWriter, -1)); });
    const auto swap = [&] {
        QCOMPARE(::unlink(QFile::encodeName(path).constData()), 0);
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        fifoWriter = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NONBLOCK);
        QCOMPARE(::write(fifoWriter, font.constData(), 256), ssize_t(256));
    };

    for (int call = 1;; ++call) {
        ::close(std::exchange(fifoWriter, -1));
        ::unlink(QFile::encodeName(path).constData());
        QVERIFY(writeFile(path, font));
        auto store = editedStore();
        ScriptedDialogs dialogs;
        dialogs.fileAnswers = {path, std::nullopt};
        QVERIFY(runBeforeSystemCall(call, swap));
        const std::int16_t height = store->loadFontFile(dialogs);
        const bool loadWasOver = stopWatchingSystemCalls();

        if (height == 0) {
            QCOMPARE(dialogs.messageBoxes.size(), std::size_t(1));
            QCOMPARE(dialogs.messageBoxes[0].prompt, path + QStringLiteral(" nicht gefunden!"));
        } else {
            QCOMPARE(height, std::int16_t(14));
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(store->fontTable.data()), qsizetype(store->fontTable.size())), font);
        }
        if (loadWasOver)
            break;  // before this call: the swap came at each one
    }
}

void TestFontFile::saveWritesNoFileSwappedInMeanwhile_data()
{
    QTest::addColumn<bool>("inPlace");   // the file has a second hard link, so it is written into
    QTest::addColumn<bool>("symbolic");  // the name becomes a symbolic link to another file, else a hard link
    for (const bool inPlace : {false, true})
        for (const bool symbolic : {false, true})
            QTest::addRow("%s, %s link", inPlace ? "written into" : "replaced", symbolic ? "symbolic" : "hard")
                << inPlace << symbolic;
}

// Somebody who may write in the folder swaps the name for a link to a file of
// theirs at one system call of the save, at each one in turn.
void TestFontFile::saveWritesNoFileSwappedInMeanwhile()
{
    QFETCH(bool, inPlace);
    QFETCH(bool, symbolic);
    const QByteArray path = QFile::encodeName(pathOf(QStringLiteral("font.fnt")));
    const QByteArray other = QFile::encodeName(pathOf(QStringLiteral("other.fnt")));
    const QByteArray swapped = QFile::encodeName(pathOf(QStringLiteral("swapped")));
    const QByteArray otherFont(256, 'x');
    const QByteArray newFont(3584, 'n');
    QVERIFY(writeFile(QFile::decodeName(other), otherFont));
    const ino_t otherInode = inodeOf(QFile::decodeName(other));
    const auto swap = [&] {
        QCOMPARE(symbolic ? ::symlink(other.constData(), swapped.constData()) : ::link(other.constData(), swapped.constData()), 0);
        QCOMPARE(::rename(swapped.constData(), path.constData()), 0);
    };

    for (int call = 1;; ++call) {
        ::unlink(path.constData());
        QVERIFY(writeFile(QFile::decodeName(path), patternedBytes(2048)));
        ::unlink(path + ".2");
        QVERIFY(!inPlace || ::link(path.constData(), (path + ".2").constData()) == 0);
        QVERIFY(runBeforeSystemCall(call, swap));
        writeWholeFile(QFile::decodeName(path), newFont);
        const bool saveWasOver = stopWatchingSystemCalls();

        QCOMPARE(readFile(QFile::decodeName(other)), otherFont);
        QCOMPARE(inodeOf(QFile::decodeName(other)), otherInode);
        if (saveWasOver)
            break;  // before this call: the swap came at each one
    }
}

void TestFontFile::crashLeavesAWholeFont_data()
{
    QTest::addColumn<bool>("inPlace");      // the file has a second hard link, so it is written into
    QTest::addColumn<bool>("atEveryCall");  // killed at each system call of the saves in turn, else at random moments
    for (const bool inPlace : {false, true})
        for (const bool atEveryCall : {true, false})
            QTest::addRow("%s, killed %s", inPlace ? "written into" : "replaced",
                          atEveryCall ? "at every system call" : "at random moments")
                << inPlace << atEveryCall;
}

// A process that saves is killed in the middle. The random moments come from
// GLYPHORA_CRASH_SEED (0 unless set), and there are GLYPHORA_CRASH_KILLS of
// them (25 unless set); TMPDIR chooses the file system.
void TestFontFile::crashLeavesAWholeFont()
{
    QFETCH(bool, inPlace);
    QFETCH(bool, atEveryCall);
    const QString path = pathOf(QStringLiteral("font.fnt"));
    const QString backup = path + QLatin1Char('~');
    // The tallest font and a short one: saved by turns, the file shrinks and grows.
    const QByteArray oldFont = patternedBytes(8192);
    const QByteArray newFont(2048, 'n');
    QVERIFY(writeFile(pathOf(QStringLiteral("old")), oldFont) && writeFile(pathOf(QStringLiteral("new")), newFont));
    QVERIFY(writeFile(path, oldFont));
    if (inPlace && ::link(QFile::encodeName(path).constData(), QFile::encodeName(path + ".2").constData()) != 0)
        QSKIP("This file system has no hard links.");
    const QStringList others = othersFilesBeside(path);
    QVERIFY(!others.isEmpty());
    const auto othersKept = [&] {
        return std::all_of(others.begin(), others.end(), [](const QString& other) { return readFile(other) == othersContent; });
    };
    const auto hiddenEntries = [&] {
        return QDir(dir->path()).entryList({QStringLiteral(".font.fnt.glyphora-*")}, QDir::Files | QDir::Hidden | QDir::System);
    };
    const int seed = qEnvironmentVariableIntValue("GLYPHORA_CRASH_SEED");
    const int kills = qEnvironmentVariableIsSet("GLYPHORA_CRASH_KILLS") ? qEnvironmentVariableIntValue("GLYPHORA_CRASH_KILLS") : 25;
    std::minstd_rand random(std::uint_fast32_t(seed + 1));
    int crashes = 0;
    int torn = 0;
    int backupsLeft = 0;
    int hiddenLeft = 0;

    for (int kill = 1; atEveryCall || kill <= kills; ++kill) {
        const QString replay = QStringLiteral("seed %1, kill %2").arg(seed).arg(kill);
        QProcess saver;
        QStringList arguments{path, pathOf(QStringLiteral("old")), pathOf(QStringLiteral("new"))};
        if (atEveryCall)
            arguments << QString::number(kill);
        saver.start(QStringLiteral(SAVE_UNTIL_KILLED), arguments);
        QVERIFY2(saver.waitForReadyRead(5000), qPrintable(replay));
        if (!atEveryCall) {
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 4000));
            saver.kill();
        }
        QVERIFY2(saver.waitForFinished(5000), qPrintable(replay));
        if (saver.exitStatus() == QProcess::NormalExit) {
            QVERIFY2(atEveryCall && saver.exitCode() == 0, qPrintable(replay));
            break;  // both saves were over before this call
        }

        const QByteArray named = readFile(path);
        const QByteArray kept = readFile(backup);
        const bool whole = named == oldFont || named == newFont;
        const bool backupWhole = kept == oldFont || kept == newFont;
        QVERIFY2((whole || backupWhole) && (backupWhole || !QFile::exists(backup)), qPrintable(replay));
        QStringList visible = QDir(dir->path()).entryList(QDir::Files | QDir::System);
        for (const char* expected : {"font.fnt", "font.fnt~", "font.fnt.2", "old", "new"})
            visible.removeOne(QString::fromLatin1(expected));
        QVERIFY2(visible.isEmpty(), qPrintable(replay + QLatin1Char(' ') + visible.join(QLatin1Char(' '))));
        QVERIFY2(othersKept(), qPrintable(replay));
        ++crashes;
        torn += !whole;
        backupsLeft += QFile::exists(backup);
        hiddenLeft += int(hiddenEntries().size());
        // Each crash meets the old font alone, as a person who found the backup puts it back.
        QVERIFY(writeFile(path, oldFont) && (!QFile::exists(backup) || QFile::remove(backup)));
        for (const QString& hidden : hiddenEntries())
            QVERIFY(QFile::remove(pathOf(hidden)));
    }
    qInfo("%d crashes: %d torn, each with a whole font in the backup, none lost; %d backups and %d hidden files "
          "left, others' files all kept", crashes, torn, backupsLeft, hiddenLeft);

    // What a crash left, the next save removes, but not what a save under way holds.
    const QString underWay = QStringLiteral(".font.fnt.glyphora-Saving");
    QFile held(pathOf(underWay));
    QVERIFY(writeFile(pathOf(QStringLiteral(".font.fnt.glyphora-Left00")), oldFont) && writeFile(held.fileName(), oldFont));
    QVERIFY(held.open(QIODevice::ReadOnly) && ::flock(held.handle(), LOCK_EX) == 0);
    QVERIFY(!writeWholeFile(path, newFont));
    QCOMPARE(hiddenEntries(), QStringList{underWay});
    QVERIFY(othersKept());

    // On every file system, a new font never takes the place of a file that
    // got its name meanwhile, just before the new one's bytes are synced.
    const QString taken = pathOf(QStringLiteral("taken.fnt"));
    QVERIFY(runBeforeSystemCall(1, [&] { writeFile(taken, oldFont); }, "posix/io/sync/fsync"));
    const std::optional<FileFailure> failure = writeWholeFile(taken, newFont);
    stopWatchingSystemCalls();
    QVERIFY(failure == fileFailures::createdMeanwhile);
    QCOMPARE(readFile(taken), oldFont);
}

// A power cut right after a save returns, as a copy of the disk taken at that
// moment shows it.
void TestFontFile::powerCutAfterSaveKeepsTheNewFont()
{
    if (::geteuid() != 0)
        QSKIP("Only root can mount a disk image here.");
    const auto run = [](const char* program, const QStringList& arguments) {
        return QProcess::execute(QString::fromLatin1(program), arguments) == 0;  // says nothing unless it fails
    };
    const QString image = pathOf(QStringLiteral("disk.img"));
    const QString disk = pathOf(QStringLiteral("disk"));
    QVERIFY(QDir().mkdir(disk));
    if (!run("mkfs.ext4", {QStringLiteral("-q"), image, QStringLiteral("32M")})
        || !run("mount", {QStringLiteral("-o"), QStringLiteral("loop"), image, disk}))
        QSKIP("Cannot make and mount an ext4 disk image here.");
    auto unmount = qScopeGuard([&] { run("umount", {disk}); });  // when a check fails
    const QByteArray newFont = patternedBytes(2048);
    const QStringList fonts{disk + QStringLiteral("/new.fnt"), disk + QStringLiteral("/replaced.fnt"),
                            disk + QStringLiteral("/written-into.fnt")};
    QVERIFY(writeFile(fonts[1], QByteArray(256, 'o')) && writeFile(fonts[2], QByteArray(256, 'o')));
    QCOMPARE(::link(QFile::encodeName(fonts[2]).constData(), QFile::encodeName(fonts[2] + ".2").constData()), 0);
    ::sync();

    // A save syncs what the system had not written yet, so each font gets a cut of its own.
    for (int i = 0; i < fonts.size(); ++i) {
        QVERIFY(!writeWholeFile(fonts[i], newFont));
        QVERIFY(run("cp", {QStringLiteral("--sparse=always"), image, image + QString::number(i)}));  // the disk now
    }
    QVERIFY(run("umount", {disk}));
    for (int i = 0; i < fonts.size(); ++i) {
        QVERIFY(run("mount", {QStringLiteral("-o"), QStringLiteral("loop"), image + QString::number(i), disk}));
        QCOMPARE(readFile(fonts[i]), newFont);
        QVERIFY(run("umount", {disk}));
    }
    unmount.dismiss();
}

QTEST_GUILESS_MAIN(TestFontFile)
#include "test_font_file.moc"
