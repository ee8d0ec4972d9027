// Loading and saving .FNT files.
//
// A .FNT file is the packed font table and nothing else: 256 glyphs in code
// order, each as charHeight row bytes, top row first. With no header, the
// length is the only record of the height: 256 * height bytes, so the valid
// files are 256, 512, ..., 8192 bytes long.

#include "disk_writes.h"
#include "modcode.h"
#include "user_dialogs.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QString saveTitle = QStringLiteral("Speichern");
const QString loadTitle = QStringLiteral("Laden");
const QString fontFileFilter = QStringLiteral("Textdateien (*.FNT)|*.fnt|Alle Dateien (*.*)|*.*");

const QString notFoundSuffix = QStringLiteral(" nicht gefunden!");
const QString wrongSizePrompt = QStringLiteral("Ungültiges Dateiformat!");
const QString wrongSizeTitle = QStringLiteral("Fehler beim Laden!");

constexpr qint64 bytesPerRow = modCode::glyphCount;  // one byte per glyph for every row of height

// Tells the person which step failed on which file, and why.
void showFileError(UserDialogs& dialogs, const QString& path, const QString& failedStep, const QString& reason)
{
    const QString prompt = QStringLiteral("Die Datei „%1“ %2\n%3").arg(path, failedStep, reason);
    dialogs.messageBox(prompt, UserDialogs::Buttons::Ok, UserDialogs::Icon::Exclamation, programTitle);
}

// Why a font cannot be written to `path`. Saving creates a new file in the
// font's folder, so a folder that allows no new file stops it, even where the
// font file itself could be written.
QString whyNotOpenedForWriting(const QString& path)
{
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (folder.isDir() && !folder.isWritable() && !target.isDir())
        return QStringLiteral("konnte nicht gespeichert werden, weil im Ordner „%1“ keine neue Datei angelegt werden kann.")
            .arg(folder.absoluteFilePath());
    return QStringLiteral("konnte nicht zum Schreiben geöffnet werden.");
}

// Writes every byte, or returns false with the reason in the file's
// errorString(). A write may stop short at a full disk or a file-size limit;
// the next one then fails and tells why.
bool writeAll(QFileDevice& file, const std::vector<std::uint8_t>& bytes)
{
    const char* data = reinterpret_cast<const char*>(bytes.data());
    const qint64 size = qint64(bytes.size());
    for (qint64 written = 0; written < size;) {
        const qint64 step = file.write(data + written, size - written);
        if (step <= 0)
            return false;
        written += step;
    }
    return true;
}

// The height of a font file of `length` bytes, or 0 when no font is that long
// (an empty file too).
int heightForLength(qint64 length)
{
    if (length % bytesPerRow != 0 || length / bytesPerRow > modCode::maxCharHeight)
        return 0;
    return int(length / bytesPerRow);
}

}  // namespace

bool modCode::saveFontFile(UserDialogs& dialogs)
{
    const std::optional<QString> chosen = dialogs.showSave({saveTitle, fontFileFilter, fontFileName});
    if (!chosen)
        return false;
    const QString& path = *chosen;

    // The bytes go to a temporary file beside the old one, which replaces it
    // only once every byte is on the disk: a failed save leaves the old font
    // whole, and a shorter font leaves no tail of a longer one behind.
    // Unbuffered, so that each write reaches the system at once and its
    // failure shows here: QSaveFile::commit() would rename the temporary file
    // even when writing out Qt's buffer failed.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        showFileError(dialogs, path, whyNotOpenedForWriting(path), file.errorString());
        return false;
    }

    if (!writeAll(file, fontTable)) {
        showFileError(dialogs, path, QStringLiteral("konnte nicht geschrieben werden."), file.errorString());
        return false;  // the temporary file goes with `file`
    }

    QString reason;
    if (!syncToDisk(file, reason)) {
        showFileError(dialogs, path, QStringLiteral("konnte nicht geschrieben werden."), reason);
        return false;
    }

    if (!file.commit()) {
        // Qt may know no reason when only the final rename fails, so say
        // plainly that the old file is still there.
        showFileError(dialogs, path,
                      QStringLiteral("konnte nicht gespeichert werden. "
                                     "Eine schon vorhandene Datei dieses Namens ist unverändert."),
                      file.errorString());
        return false;
    }
    return true;
}

std::int16_t modCode::loadFontFile(UserDialogs& dialogs)
{
    // Ask until the person picks a regular file or gives up. Anything else
    // counts as missing: a directory cannot be a font, and opening a FIFO or a
    // device could wait for ever.
    QString path;
    for (;;) {
        const std::optional<QString> chosen = dialogs.showOpen({loadTitle, fontFileFilter, QString()});
        if (!chosen)
            return 0;
        path = *chosen;
        if (QFileInfo(path).isFile())  // follows symbolic links
            break;
        dialogs.messageBox(path + notFoundSuffix, UserDialogs::Buttons::Ok, UserDialogs::Icon::Exclamation,
                           programTitle);
    }

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showFileError(dialogs, path, QStringLiteral("konnte nicht geöffnet werden."), file.errorString());
        return 0;
    }

    // Check the length before reading anything, so that a huge file is turned
    // away at once.
    const qint64 length = file.size();
    const int height = heightForLength(length);
    if (height == 0) {
        dialogs.messageBox(wrongSizePrompt, UserDialogs::Buttons::Ok, UserDialogs::Icon::None, wrongSizeTitle);
        return 0;
    }

    // Read into a buffer of our own, so that a failed read leaves the font
    // table as it was.
    std::vector<std::uint8_t> bytes(std::size_t(length), 0);
    const qint64 read = file.read(reinterpret_cast<char*>(bytes.data()), length);
    if (read != length) {
        // A short read is no error to QFile, so it has no reason to give.
        const QString reason = read < 0 ? file.errorString()
                                        : QStringLiteral("Es wurden nur %1 von %2 Bytes gelesen.").arg(read).arg(length);
        showFileError(dialogs, path, QStringLiteral("konnte nicht gelesen werden."), reason);
        return 0;
    }

    fontTable = std::move(bytes);
    fontFileName = path;
    return std::int16_t(height);
}
