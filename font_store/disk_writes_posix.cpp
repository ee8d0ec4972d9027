// Saving on Unix-like systems. The folder is opened once and every later step
// works relative to it, with the file checked before it is opened and
// compared once it is, so that a link swapped in meanwhile cannot lead the
// save to another file. Nothing is reported saved before it would survive a
// power cut.

#include "descriptor.h"
#include "disk_writes.h"
#include "file_failures.h"
#include "pending_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <thread>

#ifdef Q_OS_LINUX
#include <acl/libacl.h>
#include <attr/libattr.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif

namespace {

using namespace fileFailures;

// The failure of a step, with the system's reason for the call that just failed.
FileFailure failedWith(const QString& step)
{
    return {step, qt_error_string(errno)};  // worded as Qt's own file errors
}

// A write may stop short at a full disk or a file-size limit; the next one
// then fails and tells why.
bool writeAll(int file, QByteArrayView bytes)
{
    for (qsizetype written = 0; written < bytes.size();) {
        const ssize_t step = ::write(file, bytes.data() + written, std::size_t(bytes.size() - written));
        if (step > 0)
            written += step;
        else if (step == 0 || errno != EINTR)
            return false;
    }
    return true;
}

// The whole of `from` over the start of `to`, a piece at a time, so that a
// file of any length costs little memory. Read through Qt: a read() of our
// own, its size known safe when compiled, is left unfortified, and Debian's
// hardening checks take that for an unprotected call.
bool copyWhole(int from, int to)
{
    QFile source;
    if (!source.open(from, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle) || !source.seek(0)
        || ::lseek(to, 0, SEEK_SET) < 0)
        return false;
    std::array<char, 65536> piece;
    for (qint64 read = 0; (read = source.read(piece.data(), piece.size())) != 0;)
        if (read < 0 || !writeAll(to, QByteArrayView(piece.data(), read)))
            return false;
    return true;
}

// Makes room for the whole of `content` in a file of `oldSize` bytes without
// changing any of them, so that a full disk or a file-size limit stops a save
// before it does. Where the file system cannot reserve room (FAT through FUSE,
// which also refuses the writes behind the C library's emulation), the file
// grows by the new content's own tail.
bool roomReserved(int file, off_t oldSize, QByteArrayView content)
{
#ifdef Q_OS_LINUX
    if (::fallocate(file, 0, 0, content.size()) == 0)
        return true;
    if (errno != EOPNOTSUPP)
        return false;
#endif
    return content.size() <= oldSize
        || (::lseek(file, oldSize, SEEK_SET) == oldSize && writeAll(file, content.sliced(qsizetype(oldSize))));
}

// Cuts a file to `length` where it is longer: FAT through FUSE refuses to cut
// one to the length it has.
bool cutTo(int file, off_t length)
{
    struct stat status {};
    return ::fstat(file, &status) == 0 && (status.st_size <= length || ::ftruncate(file, length) == 0);
}

// A file system that cannot sync a folder (EINVAL, ENOTSUP: some FUSE and
// network ones) keeps its names as well as it can; as with SQLite, that
// counts as synced.
bool folderSynced(int folder)
{
    return ::fsync(folder) == 0 || errno == EINVAL || errno == ENOTSUP;
}

// Waits up to a second for another save of the file to end. A file system
// without locks is saved as before there were any.
bool lockedForSaving(int file)
{
    for (int attempt = 0; ::flock(file, LOCK_EX | LOCK_NB) != 0; ++attempt) {
        if (errno != EWOULDBLOCK && errno != EINTR)
            return true;
        if (attempt == 100)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
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
    // list to libacl.
    return perm_copy_fd(nullptr, oldFile, nullptr, newFile, nullptr) == 0
        && attr_copy_fd(nullptr, oldFile, nullptr, newFile, nullptr, nullptr) == 0;
#else
    Q_UNUSED(oldFile);
    return true;
#endif
}

// An append-only folder takes new files but lets none be replaced or removed.
bool folderLetsFilesGo(int folder)
{
#ifdef Q_OS_LINUX
    int flags = 0;
    return ::ioctl(folder, FS_IOC_GETFLAGS, &flags) != 0 || (flags & FS_APPEND_FL) == 0;
#else
    Q_UNUSED(folder);
    return true;
#endif
}

// A save of `content` to the file `name` in a folder it has opened.
class FolderSave
{
public:
    FolderSave(Descriptor openedFolder, const QFileInfo& target, QByteArrayView newContent)
        : folderPath(target.absolutePath())
        , name(QFile::encodeName(target.fileName()))
        , content(newContent)
        , folder(std::move(openedFolder))
    {
    }

    std::optional<FileFailure> intoNewFile()
    {
        PendingFile file(folder.get(), name, 0666);
        if (!file.isOpen())
            return whyNoNewFile();
        return writeAndPutInPlace(file, false);
    }

    // Over the file that `checked` describes, which must be what the name
    // leads to from the moment it is opened to the end.
    std::optional<FileFailure> overFile(const struct stat& checked)
    {
        // Not blocking, should a FIFO have taken the file's place meanwhile.
        const Descriptor file(::openat(folder.get(), name.constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        struct stat old {};
        if (!file.isOpen())
            return errno == ELOOP ? replacedMeanwhile : failedWith(notOpened);
        if (::fstat(file.get(), &old) != 0)
            return failedWith(notOpened);
        if (!sameFile(old, checked))
            return replacedMeanwhile;
        if (!lockedForSaving(file.get()))
            return busy;
        // A save that waited may find a new file under the name.
        struct stat named {};
        if (::fstatat(folder.get(), name.constData(), &named, AT_SYMLINK_NOFOLLOW) != 0 || !sameFile(named, old))
            return replacedMeanwhile;
        if (!folderLetsFilesGo(folder.get()))
            return FileFailure{noReplacingInFolder.arg(folderPath), QString()};

        // Further hard links would keep the old bytes, so only a file with one
        // link is replaced.
        if (old.st_nlink == 1) {
            PendingFile replacement(folder.get(), name, 0600);
            if (!replacement.isOpen())
                return whyNoNewFile();
            if (keepWhatTheFileIs(file.get(), old, replacement.descriptor()))
                return writeAndPutInPlace(replacement, true);
        }
        return writeInPlace(file.get(), old);
    }

private:
    // A new file whose bytes are all on the disk takes the name, and the folder
    // then keeps that, too. Once it has the name, the save is done but for
    // that, and says so should the folder fail.
    std::optional<FileFailure> writeAndPutInPlace(PendingFile& file, bool replacing)
    {
        const QString& failed = replacing ? notWritten : notCreated;
        if (!writeAll(file.descriptor(), content) || ::fsync(file.descriptor()) != 0)
            return failedWith(failed);
        if (!file.takeName(name, replacing)) {
            if (errno == EEXIST)  // where a new file was to be, or a folder now is
                return replacing ? replacedMeanwhile : createdMeanwhile;
            return failedWith(failed);
        }
        if (!folderSynced(folder.get()))
            return failedWith(savedNotSynced);
        PendingFile::removeLeftovers(folder.get(), name);
        return std::nullopt;
    }

    // Writes into the file itself, which so stays the very same file. Its old
    // bytes are first put into a backup beside it, on the disk and under its
    // name, so that whatever happens while the file is written, they are
    // found there; they go only once the new bytes are on the disk, or are
    // back in the file. The backup replaces an earlier one, but nothing that
    // is no regular file: a link or a folder of that name is somebody's.
    std::optional<FileFailure> writeInPlace(int file, const struct stat& old)
    {
        const QByteArray backupName = nameWithEnding(name, "~", NAME_MAX);
        const QString backupPath = QDir(folderPath).filePath(QFile::decodeName(backupName));
        struct stat present {};
        if (::fstatat(folder.get(), backupName.constData(), &present, AT_SYMLINK_NOFOLLOW) == 0
            && !S_ISREG(present.st_mode))
            return FileFailure{backupNotRegular.arg(backupPath), QString()};
        // The old bytes are read through a descriptor of their own: FAT
        // through FUSE cannot grow a file through one that read it to its end.
        const Descriptor reading(::openat(folder.get(), name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat opened {};
        if (!reading.isOpen() || ::fstat(reading.get(), &opened) != 0)
            return failedWith(noBackup.arg(backupPath));
        if (!sameFile(opened, old))
            return replacedMeanwhile;
        PendingFile backup(folder.get(), name, old.st_mode & 0666);
        if (!backup.isOpen())
            return whyNoNewFile();
        if (!copyWhole(reading.get(), backup.descriptor()) || ::fsync(backup.descriptor()) != 0
            || !backup.takeName(backupName, true))
            return failedWith(noBackup.arg(backupPath));
        const auto removeBackup = [&] { ::unlinkat(folder.get(), backupName.constData(), 0); };
        if (!folderSynced(folder.get())) {
            const FileFailure failure = failedWith(noBackup.arg(backupPath));
            removeBackup();
            return failure;
        }

        if (roomReserved(file, old.st_size, content) && ::lseek(file, 0, SEEK_SET) == 0 && writeAll(file, content)
            && cutTo(file, content.size()) && ::fsync(file) == 0) {
            removeBackup();
            PendingFile::removeLeftovers(folder.get(), name);
            return std::nullopt;
        }
        const QString reason = qt_error_string(errno);
        if (!copyWhole(backup.descriptor(), file) || !cutTo(file, old.st_size) || ::fsync(file) != 0)
            return FileFailure{leftTorn.arg(backupPath), reason};
        removeBackup();
        return FileFailure{notWritten, reason};
    }

    // The folder's refusal where the file system gives that as the reason.
    FileFailure whyNoNewFile() const
    {
        const bool refused = errno == EACCES || errno == EPERM || errno == EROFS;
        return failedWith(refused ? noNewFileInFolder.arg(folderPath) : notOpened);
    }

    const QString folderPath;
    const QByteArray name;
    const QByteArrayView content;
    const Descriptor folder;
};

}  // namespace

void ignoreFileSizeLimitSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

std::optional<FileFailure> writeWholeFile(const QString& path, QByteArrayView content)
{
    // Bytes of a name that are no UTF-8 come back from the dialog as U+FFFD:
    // saved under such a name, the font would go into a file never chosen.
    if (path.contains(QChar::ReplacementCharacter) || QFile::decodeName(QFile::encodeName(path)) != path)
        return nameNotAsChosen;
    // A link stays a link: resolved here, once, and its target gets the new bytes.
    const QFileInfo chosen(path);
    const QString target = chosen.isSymLink() ? chosen.canonicalFilePath() : chosen.absoluteFilePath();
    if (target.isEmpty())  // a link that leads nowhere
        return FileFailure{notOpened, qt_error_string(ENOENT)};

    // Looked at before it is opened: opening a FIFO could wait for ever, and
    // opening a device can act on it.
    struct stat checked {};
    const bool exists = ::lstat(QFile::encodeName(target).constData(), &checked) == 0;
    if (!exists && errno != ENOENT)
        return failedWith(notOpened);
    const QFileInfo targetInfo(target);
    Descriptor folder(::open(QFile::encodeName(targetInfo.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.isOpen())
        return failedWith(notOpened);
    FolderSave save(std::move(folder), targetInfo, content);
    if (!exists)
        return save.intoNewFile();
    if (!S_ISREG(checked.st_mode))
        return notRegular;
    // Root may write any file, but one without a write permission bit is meant
    // to stay as it is.
    if ((checked.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return readOnly;
    return save.overFile(checked);
}
