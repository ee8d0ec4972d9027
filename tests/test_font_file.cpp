#include "disk_writes.h"
#include "file_size_limit.h"
#include "modcode.h"
#include "scripted_dialogs.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>
#include <memory>

using Buttons = UserDialogs::Buttons;
using Icon = UserDialogs::Icon;

namespace {

const QString fontFilter = QStringLiteral("Textdateien (*.FNT)|*.fnt|Alle Dateien (*.*)|*.*");

// Bytes that differ from place to place, so a byte read into the wrong place shows.
std::vector<std::uint8_t> fontBytes(int length)
{
    std::vector<std::uint8_t> bytes(std::size_t(length), 0);
    for (int i = 0; i < length; ++i)
        bytes[std::size_t(i)] = std::uint8_t(i * 13 + i / 256 + 5);
    return bytes;
}

QByteArray asByteArray(const std::vector<std::uint8_t>& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
    QCOMPARE(file.write(content), content.size());
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// Everything below `root`, hidden entries too: relative path to the file's
// content, or to "<dir>" for a folder. Two equal snapshots mean nothing was
// written, left behind or removed.
QMap<QString, QByteArray> snapshot(const QString& root)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = QDir(root).relativeFilePath(path);
        entries.insert(name, it.fileInfo().isDir() ? QByteArray("<dir>") : readFile(path));
    }
    return entries;
}

// The one message a failed save shows: the file, and on the last line the
// system's reason (`reason` when given).
void checkOneSaveError(const ScriptedDialogs& dialogs, const QString& path, const QString& reason)
{
    QCOMPARE(dialogs.messageBoxes.size(), std::size_t(1));
    const auto& box = dialogs.messageBoxes.front();
    QVERIFY2(box.prompt.contains(path), qPrintable(box.prompt));
    const QString lastLine = box.prompt.split(QLatin1Char('\n')).last();
    QVERIFY2(box.prompt.contains(QLatin1Char('\n')) && !lastLine.isEmpty(), qPrintable(box.prompt));
    if (!reason.isEmpty())
        QCOMPARE(lastLine, reason);
    QCOMPARE(box.buttons, Buttons::Ok);
    QCOMPARE(box.icon, Icon::Exclamation);
    QCOMPARE(box.title, QStringLiteral("Glyphora"));
}

// Makes `folder` refuse new files, or takes that back: by its permissions for
// a normal user, by the immutable attribute for root, who may write anywhere.
bool lockFolder(const QString& folder, bool locked)
{
#ifdef Q_OS_UNIX
    if (::geteuid() != 0) {
        const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner;
        return QFile::setPermissions(folder, locked ? readOnly : readOnly | QFile::WriteOwner);
    }
    return QProcess::execute(QStringLiteral("chattr"), {locked ? QStringLiteral("+i") : QStringLiteral("-i"), folder}) == 0;
#else
    Q_UNUSED(folder);
    Q_UNUSED(locked);
    return false;
#endif
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

    void dialogsAskWithTitleFilterAndName();
    void cancelledDialogsShowAndChangeNothing();

    void loadReadsEveryWholeHeight_data();
    void loadReadsEveryWholeHeight();
    void loadFollowsSymlinksAndFindsDotFiles_data();
    void loadFollowsSymlinksAndFindsDotFiles();
    void loadRejectsWrongLengths_data();
    void loadRejectsWrongLengths();
    void loadAsksAgainForAnythingButARegularFile();
    void loadAcceptsAFontChosenAfterAMissingOne();
    void loadThatReadsShortKeepsTheFont();

    void saveThenLoadGivesBackTheFont();
    void saveOverALongerFileLeavesOnlyTheNewFont();
    void saveFailureReportsAndKeepsEverything_data();
    void saveFailureReportsAndKeepsEverything();
    void saveIntoAFolderThatAllowsNoNewFile();

private:
    QString pathOf(const QString& name) const { return dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> dir;
};

void TestFontFile::initTestCase()
{
    // As the program does at start-up, so that a write beyond a file-size
    // limit fails instead of ending the test run.
    ignoreFileSizeLimitSignal();
}

void TestFontFile::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestFontFile::dialogsAskWithTitleFilterAndName()
{
    auto store = editedStore();
    ScriptedDialogs dialogs;
    dialogs.fileAnswers = {std::nullopt, std::nullopt};

    store->saveFontFile(dialogs);
    store->loadFontFile(dialogs);

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
}

void TestFontFile::cancelledDialogsShowAndChangeNothing()
{
    auto store = editedStore();
    store->charHeight = 14;
    store->packFontTable();
    const auto tableBefore = store->fontTable;
    ScriptedDialogs dialogs;
    dialogs.fileAnswers = {std::nullopt, std::nullopt};

    QCOMPARE(store->saveFontFile(dialogs), false);
    QCOMPARE(store->loadFontFile(dialogs), std::int16_t(0));

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
    QTest::newRow("256 bytes") << 256 << 1;
    QTest::newRow("2048 bytes") << 2048 << 8;
    QTest::newRow("3584 bytes") << 3584 << 14;
    QTest::newRow("8192 bytes") << 8192 << 32;
}

void TestFontFile::loadReadsEveryWholeHeight()
{
    QFETCH(int, length);
    QFETCH(int, height);
    const QString path = pathOf(QStringLiteral("font.fnt"));
    writeFile(path, asByteArray(fontBytes(length)));
    auto store = editedStore();
    const auto glyphsBefore = store->glyphBuffer;
    ScriptedDialogs dialogs;
    dialogs.fileAnswers = {path};

    QCOMPARE(store->loadFontFile(dialogs), std::int16_t(height));

    QCOMPARE(store->fontTable, fontBytes(length));
    QCOMPARE(store->fontFileName, path);
    QVERIFY(dialogs.messageBoxes.empty());
    QVERIFY(dialogs.unanswered.isEmpty());
    // Unpacking and the geometry are the caller's business.
    QVERIFY(store->glyphBuffer == glyphsBefore);
    QCOMPARE(store->charHeight, 8);
    QCOMPARE(store->charWidth, 8);
    QCOMPARE(store->dataModified, truthTrue);
}

void TestFontFile::loadFollowsSymlinksAndFindsDotFiles_data()
{
    QTest::addColumn<bool>("throughSymlink");
    QTest::addColumn<QString>("name");
    QTest::newRow("dot-file") << false << QStringLiteral(".hidden.fnt");
    QTest::newRow("symlink") << true << QStringLiteral("link.fnt");
}

void TestFontFile::loadFollowsSymlinksAndFindsDotFiles()
{
    QFETCH(bool, throughSymlink);
    QFETCH(QString, name);
    const QString path = pathOf(name);
    if (throughSymlink) {
        writeFile(pathOf(QStringLiteral("target.fnt")), asByteArray(fontBytes(2048)));
        QVERIFY(QFile::link(pathOf(QStringLiteral("target.fnt")), path));
    } else {
        writeFile(path, asByteArray(fontBytes(2048)));
    }
    auto store = editedStore();
    ScriptedDialogs dialogs;
    dialogs.fileAnswers = {path};

    QCOMPARE(store->loadFontFile(dialogs), std::int16_t(8));
    QCOMPARE(store->fontTable, fontBytes(2048));
    QCOMPARE(store->fontFileName, path);
    QVERIFY(dialogs.messageBoxes.empty());
}

void TestFontFile::loadRejectsWrongLengths_data()
{
    QTest::addColumn<qint64>("length");
    QTest::newRow("empty") << qint64(0);
    QTest::newRow("one byte short of 8 rows") << qint64(2047);
    QTest::newRow("one byte over 8 rows") << qint64(2049);
    QTest::newRow("33 rows") << qint64(8448);
    QTest::newRow("3 GiB") << qint64(3) * 1024 * 1024 * 1024;
}

void TestFontFile::loadRejectsWrongLengths()
{
    QFETCH(qint64, length);
    const QString path = pathOf(QStringLiteral("wrong.fnt"));
    {
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
    QCOMPARE(box.prompt, QStringLiteral("Ungültiges Dateiformat!"));
    QCOMPARE(box.title, QStringLiteral("Fehler beim Laden!"));
    QCOMPARE(box.buttons, Buttons::Ok);
    QCOMPARE(box.icon, Icon::None);
    QCOMPARE(dialogs.fileDialogs.size(), std::size_t(1));  // no second attempt
    QCOMPARE(store->fontTable, (std::vector<std::uint8_t>{1, 2, 3}));
    QCOMPARE(store->fontFileName, QStringLiteral("/fonts/earlier.fnt"));
}

void TestFontFile::loadAsksAgainForAnythingButARegularFile()
{
#ifndef Q_OS_UNIX
    QSKIP("Needs a FIFO, which only Unix-like systems have.");
#else
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
    QCOMPARE(::write(fifoWriter, fontBytes(256).data(), 256), ssize_t(256));

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
#endif
}

void TestFontFile::loadAcceptsAFontChosenAfterAMissingOne()
{
    const QString font = pathOf(QStringLiteral("font.fnt"));
    writeFile(font, asByteArray(fontBytes(512)));
    auto store = editedStore();
    ScriptedDialogs dialogs;
    dialogs.fileAnswers = {pathOf(QStringLiteral("missing.fnt")), font};

    QCOMPARE(store->loadFontFile(dialogs), std::int16_t(2));
    QCOMPARE(dialogs.messageBoxes.size(), std::size_t(1));
    QCOMPARE(store->fontFileName, font);
    QCOMPARE(store->fontTable, fontBytes(512));
}

// The kernel's files claim a size of 4096 bytes, that of a 16-row font, and
// read back far fewer: a real short read, without root rights.
void TestFontFile::loadThatReadsShortKeepsTheFont()
{
    const QString path = QStringLiteral("/sys/kernel/uevent_seqnum");
    if (QFileInfo(path).size() != 4096)
        QSKIP("This system has no file that reads back shorter than its size.");
    auto store = editedStore();
    ScriptedDialogs dialogs;
    dialogs.fileAnswers = {path};

    QCOMPARE(store->loadFontFile(dialogs), std::int16_t(0));

    QCOMPARE(dialogs.messageBoxes.size(), std::size_t(1));
    const auto& box = dialogs.messageBoxes.front();
    QVERIFY2(box.prompt.contains(path) && box.prompt.contains(QStringLiteral("von 4096 Bytes")), qPrintable(box.prompt));
    QCOMPARE(box.icon, Icon::Exclamation);
    QCOMPARE(box.title, QStringLiteral("Glyphora"));
    QCOMPARE(store->fontTable, (std::vector<std::uint8_t>{1, 2, 3}));
    QCOMPARE(store->fontFileName, QStringLiteral("/fonts/earlier.fnt"));
}

void TestFontFile::saveThenLoadGivesBackTheFont()
{
    auto store = editedStore();
    for (int i = 0; i < modCode::lastGlyphIndex; ++i)
        store->glyphBuffer[std::size_t(i)] = std::uint8_t(i * 31 + 7);
    store->charHeight = 14;
    store->packFontTable();
    const QString path = pathOf(QStringLiteral("saved.fnt"));
    ScriptedDialogs dialogs;
    dialogs.fileAnswers = {path, path};

    QVERIFY(store->saveFontFile(dialogs));

    QVERIFY(dialogs.messageBoxes.empty());
    QCOMPARE(store->fontFileName, QStringLiteral("/fonts/earlier.fnt"));  // a save keeps the loaded name
    QCOMPARE(snapshot(dir->path()).keys(), QStringList{QStringLiteral("saved.fnt")});
    const QByteArray saved = readFile(path);
    QCOMPARE(saved.size(), 3584);
    QCOMPARE(saved, asByteArray(store->fontTable));
    QCOMPARE(quint8(saved[13]), store->glyphBuffer[13]);  // glyph 0 ends at byte 13
    QCOMPARE(quint8(saved[14]), store->glyphBuffer[32]);  // glyph 1 starts at byte 14

    auto loaded = std::make_unique<modCode>();
    QCOMPARE(loaded->loadFontFile(dialogs), std::int16_t(14));
    QCOMPARE(loaded->fontTable, store->fontTable);
}

void TestFontFile::saveOverALongerFileLeavesOnlyTheNewFont()
{
    const QString path = pathOf(QStringLiteral("font.fnt"));
    writeFile(path, QByteArray(8192, '\xFF'));
    auto store = editedStore();
    store->packFontTable();  // height 8
    ScriptedDialogs dialogs;
    dialogs.fileAnswers = {path};

    QVERIFY(store->saveFontFile(dialogs));

    QCOMPARE(readFile(path), asByteArray(store->fontTable));
    QCOMPARE(QFileInfo(path).size(), 2048);
    QCOMPARE(snapshot(dir->path()).size(), 1);
}

void TestFontFile::saveFailureReportsAndKeepsEverything_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<qint64>("fileSizeLimit");  // -1: none
    QTest::addColumn<QString>("reason");        // the message's last line; empty: any
    QTest::newRow("into a missing folder") << QStringLiteral("missing/font.fnt") << qint64(-1) << QString();
    QTest::newRow("onto a folder") << QStringLiteral("folder") << qint64(-1) << QString();
    QTest::newRow("below a regular file") << QStringLiteral("plain.fnt/font.fnt") << qint64(-1) << QString();
    // The old file exists, but no temporary file can be named beside it.
    QTest::newRow("over a file whose name has no room left") << QString(250, QLatin1Char('n')) << qint64(-1) << QString();
    // A full disk, as a file-size limit makes it: a font is small enough for
    // Qt to buffer it whole, so the failure comes only once the buffer is written.
    const QString tooLarge = QString::fromLocal8Bit(std::strerror(EFBIG));
    QTest::newRow("over 2048 bytes, no room at all") << QStringLiteral("plain.fnt") << qint64(0) << tooLarge;
    QTest::newRow("over 2048 bytes, room for 1 KiB") << QStringLiteral("plain.fnt") << qint64(1024) << tooLarge;
    QTest::newRow("over 8192 bytes, no room at all") << QStringLiteral("large.fnt") << qint64(0) << tooLarge;
    QTest::newRow("over 8192 bytes, room for 1 KiB") << QStringLiteral("large.fnt") << qint64(1024) << tooLarge;
}

void TestFontFile::saveFailureReportsAndKeepsEverything()
{
    QFETCH(QString, target);
    QFETCH(qint64, fileSizeLimit);
    QFETCH(QString, reason);
    QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("folder")));
    writeFile(pathOf(QStringLiteral("folder/inside.fnt")), QByteArray(256, 'i'));
    writeFile(pathOf(QStringLiteral("plain.fnt")), QByteArray(2048, 'p'));
    writeFile(pathOf(QStringLiteral("large.fnt")), asByteArray(fontBytes(8192)));
    writeFile(pathOf(QString(250, QLatin1Char('n'))), QByteArray(8192, 'o'));
    const auto before = snapshot(dir->path());

    auto store = editedStore();
    store->packFontTable();
    const QString path = pathOf(target);
    ScriptedDialogs dialogs;
    dialogs.fileAnswers = {path};

    if (fileSizeLimit < 0) {
        QCOMPARE(store->saveFontFile(dialogs), false);
    } else {
        const FileSizeLimit limit(fileSizeLimit);
        if (!limit.isInForce())
            QSKIP("This system cannot lower the file-size limit.");
        QCOMPARE(store->saveFontFile(dialogs), false);
    }

    checkOneSaveError(dialogs, path, reason);
    QCOMPARE(snapshot(dir->path()), before);
}

// A font file that may be written, in a folder where no new file may be made:
// the save cannot put a new file in place of the old one, and says why.
void TestFontFile::saveIntoAFolderThatAllowsNoNewFile()
{
    const QString folder = pathOf(QStringLiteral("locked"));
    QVERIFY(QDir().mkdir(folder));
    const QString path = folder + QStringLiteral("/font.fnt");
    writeFile(path, asByteArray(fontBytes(2048)));
    if (!lockFolder(folder, true))
        QSKIP("Cannot lock a folder against new files here.");
    const auto unlock = qScopeGuard([&] { lockFolder(folder, false); });
    const auto before = snapshot(dir->path());

    auto store = editedStore();
    store->packFontTable();
    ScriptedDialogs dialogs;
    dialogs.fileAnswers = {path};
    QCOMPARE(store->saveFontFile(dialogs), false);

    checkOneSaveError(dialogs, path, QString());
    const QString prompt = dialogs.messageBoxes.front().prompt;
    QVERIFY2(prompt.contains(QStringLiteral("im Ordner „%1“ keine neue Datei").arg(folder)), qPrintable(prompt));
    QCOMPARE(snapshot(dir->path()), before);
}

QTEST_GUILESS_MAIN(TestFontFile)
#include "test_font_file.moc"
