#include "modcode.h"
#include "scripted_dialogs.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

    void saveThenLoadGivesBackTheFont();
    void saveOverALongerFileLeavesOnlyTheNewFont();
    void saveFailureReportsAndKeepsEverything_data();
    void saveFailureReportsAndKeepsEverything();

private:
    QString pathOf(const QString& name) const { return dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> dir;
};

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
    QTest::newRow("into a missing folder") << QStringLiteral("missing/font.fnt");
    QTest::newRow("onto a folder") << QStringLiteral("folder");
    QTest::newRow("below a regular file") << QStringLiteral("plain.fnt/font.fnt");
    // The old file exists, but no temporary file can be named beside it.
    QTest::newRow("over a file whose name has no room left") << QString(250, QLatin1Char('n'));
}

void TestFontFile::saveFailureReportsAndKeepsEverything()
{
    QFETCH(QString, target);
    QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("folder")));
    writeFile(pathOf(QStringLiteral("folder/inside.fnt")), QByteArray(256, 'i'));
    writeFile(pathOf(QStringLiteral("plain.fnt")), QByteArray(2048, 'p'));
    writeFile(pathOf(QString(250, QLatin1Char('n'))), QByteArray(8192, 'o'));
    const auto before = snapshot(dir->path());

    auto store = editedStore();
    store->packFontTable();
    const QString path = pathOf(target);
    ScriptedDialogs dialogs;
    dialogs.fileAnswers = {path};

    QCOMPARE(store->saveFontFile(dialogs), false);

    QCOMPARE(dialogs.messageBoxes.size(), std::size_t(1));
    const auto& box = dialogs.messageBoxes.front();
    QVERIFY2(box.prompt.contains(path), qPrintable(box.prompt));
    const QStringList lines = box.prompt.split(QLatin1Char('\n'));
    QVERIFY2(lines.size() >= 2 && !lines.last().isEmpty(), qPrintable(box.prompt));  // the reason
    QCOMPARE(box.buttons, Buttons::Ok);
    QCOMPARE(box.icon, Icon::Exclamation);
    QCOMPARE(box.title, QStringLiteral("Glyphora"));
    QCOMPARE(snapshot(dir->path()), before);
}

QTEST_GUILESS_MAIN(TestFontFile)
#include "test_font_file.moc"
