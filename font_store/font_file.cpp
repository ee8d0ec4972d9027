// Loading and saving .FNT files.
//
// A .FNT file is the packed font table and nothing else: 256 glyphs in code
// order, each as charHeight row bytes, top row first. With no header, the
// length is the only record of the height: 256 * height bytes, so the valid
// files are 256, 512, ..., 8192 bytes long.

#include "disk_writes.h"
#include "file_failures.h"
#include "modcode.h"
#include "user_dialogs.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include "descriptor.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#endif

namespace {

using namespace fileFailures;

const QString saveTitle = QStringLiteral("Speichern");
const QString loadTitle = QStringLiteral("Laden");
const QString fontFileFilter = QStringLiteral("Textdateien (*.FNT)|*.fnt|Alle Dateien (*.*)|*.*");

constexpr qint64 bytesPerRow = modCode::glyphCount;  // one byte per glyph for every row of height

// Tells the person which step failed on which file, and why.
void showFileError(UserDialogs& dialogs, const QString& path, const FileFailure& failure)
{
    QString prompt = QStringLiteral("Die Datei „%1“ %2").arg(path, failure.failedStep);
    if (!failure.reason.isEmpty())
        prompt += QLatin1Char('\n') + failure.reason;
    dialogs.messageBox(prompt, UserDialogs::Buttons::Ok, UserDialogs::Icon::Exclamation, programTitle);
}

// The height of a font file of `length` bytes, or 0 when no font is that long
// (an empty file too).
int heightForLength(qint64 length)
{
    if (length % bytesPerRow != 0 || length / bytesPerRow > modCode::maxCharHeight)
        return 0;
    return int(length / bytesPerRow);
}

// Opens `file` for reading when `path` names a regular file, after symbolic
// links. Returns nothing once it is open, else why not: notFound when `path`
// is no regular file. On Unix-like systems the file is opened without waiting
// and what was opened is checked, so that not even a FIFO or a device swapped
// in after the check can keep the window waiting.
std::optional<FileFailure> openForLoading(QFile& file, const QString& path)
{
    if (!QFileInfo(path).isFile())
        return notFound;
#ifdef Q_OS_UNIX
    Descriptor opened(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status {};
    if (!opened.isOpen() || ::fstat(opened.get(), &status) != 0)
        return errno == ENOENT ? notFound : FileFailure{notOpenedForReading, qt_error_string(errno)};
    if (!S_ISREG(status.st_mode))
        return notFound;
    if (!file.open(opened.release(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
#else
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
#endif
        return FileFailure{notOpenedForReading, file.errorString()};
    return std::nullopt;
}

}  // namespace

bool modCode::saveFontFile(UserDialogs& dialogs)
{
    const std::optional<QString> chosen = dialogs.showSave({saveTitle, fontFileFilter, fontFileName});
    if (!chosen)
        return false;
    const QByteArrayView bytes(reinterpret_cast<const char*>(fontTable.data()), qsizetype(fontTable.size()));
    if (const std::optional<FileFailure> failure = writeWholeFile(*chosen, bytes)) {
        showFileError(dialogs, *chosen, *failure);
        return false;
    }
    return true;
}

std::int16_t modCode::loadFontFile(UserDialogs& dialogs)
{
    // Ask until the person picks a regular file or gives up. Anything else
    // counts as missing: a directory cannot be a font, and a FIFO or a device
    // could keep the window waiting for ever.
    QString path;
    QFile file;
    for (;;) {
        const std::optional<QString> chosen = dialogs.showOpen({loadTitle, fontFileFilter, QString()});
        if (!chosen)
            return 0;
        path = *chosen;
        const std::optional<FileFailure> whyNotOpened = openForLoading(file, path);
        if (!whyNotOpened)
            break;
        if (*whyNotOpened != notFound) {
            showFileError(dialogs, path, *whyNotOpened);
            return 0;
        }
        dialogs.messageBox(path + notFound.failedStep, UserDialogs::Buttons::Ok, UserDialogs::Icon::Exclamation,
                           programTitle);
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
        const QString reason = read < 0 ? file.errorString() : readShort.arg(read).arg(length);
        showFileError(dialogs, path, {notRead, reason});
        return 0;
    }

    fontTable = std::move(bytes);
    fontFileName = path;
    return std::int16_t(height);
}
