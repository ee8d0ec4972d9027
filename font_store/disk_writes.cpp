#include "disk_writes.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopeGuard>

#include <memory>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#endif

#ifdef Q_OS_LINUX
#include <acl/libacl.h>
#include <attr/libattr.h>
#endif

namespace {

const QString notOpened = QStringLiteral("konnte nicht zum Schreiben geöffnet werden.");
const QString notWritten = QStringLiteral("konnte nicht geschrieben werden.");

// Writes every byte, or returns false with the reason in the file's
// errorString(). A write may stop short at a full disk or a file-size limit;
// the next one then fails and tells why.
bool writeAll(QFileDevice& file, QByteArrayView content)
{
    for (qsizetype written = 0; written < content.size();) {
        const qint64 step = file.write(content.data() + written, content.size() - written);
        if (step <= 0)
            return false;
        written += step;
    }
    return true;
}

// Waits until the bytes written to `file` are on the disk; the system's
// reason when they cannot get there (a full disk on a network file system, a
// failing disk).
std::optional<QString> syncFailure(QFileDevice& file)
{
#ifdef Q_OS_UNIX
    // QSaveFile::commit() syncs as well, but it ignores the result: only a
    // sync of our own can tell that the bytes did not reach the disk.
    if (::fsync(file.handle()) != 0)
        return qt_error_string(errno);  // worded as Qt's own file errors
#else
    // Elsewhere QSaveFile::commit() flushes the system's buffers itself.
    Q_UNUSED(file);
#endif
    return std::nullopt;
}

// Writes the new file, waits for the disk and puts it in place of the old one.
// Unbuffered, so that each write reaches the system at once and its failure
// shows here: QSaveFile::commit() would put the file in place even when
// writing out Qt's buffer failed.
std::optional<WriteFailure> writeAndCommit(QSaveFile& file, QByteArrayView content)
{
    if (!writeAll(file, content))
        return WriteFailure{notWritten, file.errorString()};
    if (const std::optional<QString> reason = syncFailure(file))
        return WriteFailure{notWritten, *reason};
    if (!file.commit()) {
        // Qt may know no reason when only the final rename fails, so say
        // plainly that the old file is still there.
        return WriteFailure{QStringLiteral("konnte nicht gespeichert werden. "
                                           "Eine schon vorhandene Datei dieses Namens ist unverändert."),
                            file.errorString()};
    }
    return std::nullopt;
}

// A save opens a new file beside the old one, so a folder that allows no new
// file stops it, even where the font file itself could be written.
QString whyNotOpenedForWriting(const QString& path)
{
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (folder.isDir() && !folder.isWritable() && !target.isDir())
        return QStringLiteral("konnte nicht gespeichert werden, weil im Ordner „%1“ keine neue Datei angelegt werden kann.")
            .arg(folder.absoluteFilePath());
    return notOpened;
}

// Writes a new file beside the one at `path`, which takes its place only once
// every byte is on the disk: a failed save leaves an old file whole, and a
// shorter font leaves no tail of a longer one behind.
std::optional<WriteFailure> replaceWithNewFile(const QString& path, QByteArrayView content)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return WriteFailure{whyNotOpenedForWriting(path), file.errorString()};
    return writeAndCommit(file, content);
}

}  // namespace

#ifdef Q_OS_UNIX

namespace {

const WriteFailure notRegular{
    QStringLiteral("konnte nicht gespeichert werden, weil sie keine gewöhnliche Datei ist."), QString()};
const WriteFailure readOnly{QStringLiteral("konnte nicht gespeichert werden, weil sie schreibgeschützt ist."), QString()};

// Qt names its new file after the old one, with 7 characters more, before
// that takes the old one's name.
bool temporaryNameFits(const QString& target)
{
    const QFileInfo info(target);
    const long longestName = ::pathconf(QFile::encodeName(info.absolutePath()).constData(), _PC_NAME_MAX);
    return longestName < 0 || QFile::encodeName(info.fileName()).size() + 7 <= longestName;
}

// Gives the new file all that the old one is but its content. False when the
// new file cannot carry it, as when a person who is not root saves a file of
// somebody else's.
bool keepWhatTheFileIs(int oldFile, const struct stat& old, int newFile)
{
    // The owner first: changing it clears the set-group-ID bit, which the mode
    // then sets again.
    if (::fchown(newFile, old.st_uid, old.st_gid) != 0 || ::fchmod(newFile, old.st_mode & 07777) != 0)
        return false;
#ifdef Q_OS_LINUX
    // The access control list with the mode bits it goes with, then every
    // other extended attribute; libattr's own check leaves the access control
    // list to libacl. Both read the file itself, which a path could not name
    // where it leads through a link.
    return perm_copy_fd(nullptr, oldFile, nullptr, newFile, nullptr) == 0
        && attr_copy_fd(nullptr, oldFile, nullptr, newFile, nullptr, nullptr) == 0;
#else
    Q_UNUSED(oldFile);
    return true;
#endif
}

// A new file to take the old one's place at once, made to be what the old file
// is. Null where that cannot be: further hard links would keep the old bytes,
// the name leaves no room for the new file's temporary name, the folder allows
// no new file, or the new file cannot carry the old one's owner, group, mode,
// access control list or attributes.
std::unique_ptr<QSaveFile> replacementKeeping(int oldFile, const struct stat& old, const QString& target)
{
    if (old.st_nlink != 1 || !temporaryNameFits(target))
        return nullptr;
    auto replacement = std::make_unique<QSaveFile>(target);
    replacement->setDirectWriteFallback(false);
    if (!replacement->open(QIODevice::WriteOnly | QIODevice::Unbuffered)
        || !keepWhatTheFileIs(oldFile, old, replacement->handle()))
        return nullptr;  // an uncommitted QSaveFile discards its file
    return replacement;
}

// The whole file from its start; nothing, with the reason in `reason`, when
// it cannot be read.
std::optional<QByteArray> readWhole(int file, QString& reason)
{
    QFile opened;
    if (opened.open(file, QIODevice::ReadOnly, QFileDevice::DontCloseHandle) && opened.seek(0)) {
        QByteArray bytes = opened.readAll();
        if (opened.error() == QFileDevice::NoError)
            return bytes;
    }
    reason = opened.errorString();
    return std::nullopt;
}

// Writes `bytes` from the file's start. Counts in `written` what reached the
// file, also when a later write fails (false, with the reason in errno).
bool writeFromStart(int file, QByteArrayView bytes, qint64& written)
{
    written = 0;
    if (::lseek(file, 0, SEEK_SET) < 0)
        return false;
    while (written < bytes.size()) {
        const ssize_t step = ::write(file, bytes.data() + written, std::size_t(bytes.size() - written));
        if (step > 0)
            written += step;
        else if (step == 0 || errno != EINTR)
            return false;
    }
    return true;
}

// Writing a file's new bytes into the file itself, which so stays the very
// same file. The old bytes stay at hand until the new ones are on the disk, so
// that a failed step can put them back.
class InPlaceWrite
{
public:
    InPlaceWrite(int descriptor, QByteArray bytesBefore)
        : file(descriptor)
        , oldBytes(std::move(bytesBefore))
    {
    }

    std::optional<WriteFailure> run(QByteArrayView content)
    {
        // Room for the whole new content first, so that a full disk or a
        // file-size limit stops the save before a byte of the old one changes.
        if (const int error = ::posix_fallocate(file, 0, content.size()); error != 0) {
            struct stat now {};
            lengthChanged = ::fstat(file, &now) != 0 || now.st_size != oldBytes.size();  // lengthened, then failed
            return failed(error);
        }
        // The room taken lengthens a shorter file before a byte is written.
        lengthChanged = content.size() > oldBytes.size();
        if (!writeFromStart(file, content, written))
            return failed(errno);
        if (content.size() < oldBytes.size()) {
            lengthChanged = true;
            if (::ftruncate(file, content.size()) != 0)
                return failed(errno);
        }
        if (::fsync(file) != 0)
            return failed(errno);
        return std::nullopt;
    }

private:
    // Puts the old bytes back before the failure is reported.
    WriteFailure failed(int error)
    {
        const QString reason = qt_error_string(error);
        if (restore())
            return {notWritten, reason};
        return {QStringLiteral("konnte nicht geschrieben werden, und ihr alter Inhalt ließ sich nicht wiederherstellen."),
                reason};
    }

    // The old bytes over all that the save changed, the old length, and both
    // on the disk. False when the file may not be as it was.
    bool restore()
    {
        lengthChanged = lengthChanged || written > oldBytes.size();
        if (written == 0 && !lengthChanged)
            return true;
        const qsizetype changed = lengthChanged ? oldBytes.size() : std::min<qsizetype>(written, oldBytes.size());
        qint64 rewritten = 0;
        return writeFromStart(file, QByteArrayView(oldBytes).first(changed), rewritten)
            && (!lengthChanged || ::ftruncate(file, oldBytes.size()) == 0) && ::fsync(file) == 0;
    }

    int file;
    QByteArray oldBytes;
    qint64 written = 0;          // new bytes that reached the file
    bool lengthChanged = false;  // the file may no longer have its old length
};

}  // namespace

void ignoreFileSizeLimitSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

std::optional<WriteFailure> writeWholeFile(const QString& path, QByteArrayView content)
{
    const QFileInfo chosen(path);
    if (!chosen.exists())
        return replaceWithNewFile(path, content);
    // A link stays a link: its target gets the new bytes.
    const QString target = chosen.canonicalFilePath();
    const QByteArray encodedTarget = QFile::encodeName(target);

    // Looked at before it is opened: opening a FIFO could wait for ever, and
    // opening a device can act on it.
    struct stat old {};
    if (::stat(encodedTarget.constData(), &old) != 0)
        return WriteFailure{notOpened, qt_error_string(errno)};
    if (!S_ISREG(old.st_mode))
        return notRegular;
    // Root may write any file, but one without a write permission bit is meant
    // to stay as it is.
    if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return readOnly;

    // Not blocking, should a FIFO have taken the file's place meanwhile. The
    // file stays open to the end of the save, after its checked sync.
    const int oldFile = ::open(encodedTarget.constData(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (oldFile < 0)
        return WriteFailure{notOpened, qt_error_string(errno)};
    const auto closeOldFile = qScopeGuard([oldFile] { ::close(oldFile); });
    if (::fstat(oldFile, &old) != 0)
        return WriteFailure{notOpened, qt_error_string(errno)};
    if (!S_ISREG(old.st_mode))
        return notRegular;

    if (const std::unique_ptr<QSaveFile> replacement = replacementKeeping(oldFile, old, target))
        return writeAndCommit(*replacement, content);

    QString reason;
    std::optional<QByteArray> oldBytes = readWhole(oldFile, reason);
    if (!oldBytes)
        return WriteFailure{QStringLiteral("konnte nicht gespeichert werden, weil ihr bisheriger Inhalt "
                                           "nicht gelesen werden konnte."),
                            reason};
    return InPlaceWrite(oldFile, std::move(*oldBytes)).run(content);
}

#else

void ignoreFileSizeLimitSignal()
{
}

std::optional<WriteFailure> writeWholeFile(const QString& path, QByteArrayView content)
{
    return replaceWithNewFile(path, content);
}

#endif
