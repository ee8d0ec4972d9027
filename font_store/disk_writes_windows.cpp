// Saving on Windows. The new font goes into a new file beside the old one and
// onto the disk, with the old one's attributes; only then does it take the
// old file's place, which ReplaceFileW does keeping the rest of what the old
// file is, the old one kept as a backup until the new one is there. Nothing
// is reported saved before it would survive a power cut.

#include "disk_writes.h"
#include "file_failures.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <windows.h>

#include <string>
#include <utility>

namespace {

using namespace fileFailures;

std::wstring nativePath(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// The failure of a step, with the system's reason for the call that just failed.
FileFailure failedWith(const QString& step, DWORD error = ::GetLastError())
{
    return {step, qt_error_string(int(error))};  // worded as Qt's own file errors
}

class Handle
{
public:
    explicit Handle(HANDLE opened) : handle(opened) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    bool isOpen() const { return handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle; }
    void close()
    {
        if (isOpen())
            ::CloseHandle(std::exchange(handle, INVALID_HANDLE_VALUE));
    }

private:
    HANDLE handle;
};

// The path of the file a handle is open on, links resolved, as Qt writes paths.
QString finalPath(const Handle& file)
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetFinalPathNameByHandleW(file.get(), path.data(), DWORD(path.size()), FILE_NAME_NORMALIZED);
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(length);
    }
    QString found = QString::fromStdWString(path);
    if (found.startsWith(QLatin1String("\\\\?\\UNC\\")))
        found = QLatin1String("\\\\") + found.mid(8);
    else if (found.startsWith(QLatin1String("\\\\?\\")))
        found = found.mid(4);
    return QDir::fromNativeSeparators(found);
}

// Asks the system to remove the file when it is closed, or takes that back.
bool removeOnClose(const Handle& file, bool remove)
{
    FILE_DISPOSITION_INFO disposition{remove};
    return ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof disposition);
}

// A write may stop short at a full disk; the next one then fails and tells why.
bool writeAll(const Handle& file, QByteArrayView content)
{
    for (qsizetype written = 0; written < content.size();) {
        DWORD step = 0;
        const DWORD left = DWORD(content.size() - written);
        if (!::WriteFile(file.get(), content.data() + written, left, &step, nullptr) || step == 0)
            return false;
        written += step;
    }
    return true;
}

// The attributes a person may set on a file, which the new file takes over.
constexpr DWORD settableAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The new content, on the disk, in a new file beside `target` with the
// settable ones of `attributes`, at `path`. Its name says whose it is, as
// ".font.FNT.glyphora-A1B2C3" does, though nothing is left under it: a crash
// while it is written leaves nothing, as it is removed on close until then,
// and a file that cannot be marked so is removed at once. `failed` is the
// step that failed once it is being written.
std::optional<FileFailure> writeBeside(const QFileInfo& target, QByteArrayView content, DWORD attributes,
                                       const QString& failed, QString& path)
{
    static constexpr char symbols[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const QString mark = QStringLiteral(".glyphora-");
    const QString prefix = QLatin1Char('.') + target.fileName().left(255 - 1 - mark.size() - 6) + mark;
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = target.dir().filePath(prefix);
        for (int i = 0; i < 6; ++i)
            path += QLatin1Char(symbols[QRandomGenerator::global()->bounded(int(sizeof symbols - 1))]);
        Handle file(::CreateFileW(nativePath(path).c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.isOpen()) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_EXISTS)
                continue;
            if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT)
                return failedWith(noNewFileInFolder.arg(target.absolutePath()), error);
            return failedWith(notOpened, error);
        }
        if (!removeOnClose(file, true)) {
            const FileFailure failure = failedWith(notOpened);
            file.close();
            ::DeleteFileW(nativePath(path).c_str());
            return failure;
        }
        FILE_BASIC_INFO basic{};  // times left as they are
        const DWORD kept = attributes & settableAttributes;
        basic.FileAttributes = kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL;
        if (!writeAll(file, content) || !::SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof basic)
            || !::FlushFileBuffers(file.get()) || !removeOnClose(file, false))
            return failedWith(failed);
        return std::nullopt;
    }
    return failedWith(notOpened, ERROR_FILE_EXISTS);
}

// Which file it is: the volume and the file's number there.
using FileIdentity = std::pair<DWORD, quint64>;

FileIdentity identityOf(const BY_HANDLE_FILE_INFORMATION& information)
{
    return {information.dwVolumeSerialNumber, quint64(information.nFileIndexHigh) << 32 | information.nFileIndexLow};
}

// The file a path leads to now, if any.
std::optional<FileIdentity> identity(const QString& path)
{
    const Handle file(::CreateFileW(nativePath(path).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file.isOpen() || !::GetFileInformationByHandle(file.get(), &information))
        return std::nullopt;
    return identityOf(information);
}

// The old file, now the new one, flushed under its name, so that the
// replacement is on the disk too.
bool flushed(const QString& path)
{
    const Handle file(::CreateFileW(nativePath(path).c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.isOpen() && ::FlushFileBuffers(file.get());
}

// Puts the new file in the place of the old one, which must be the file
// checked, `checked`. The old one becomes the backup `<name>~` on the way, and
// goes once the new one is on the disk; should it be left under the backup's
// name alone, it is put back.
//
// ReplaceFileW is given no flag: it cannot write through
// (REPLACEFILE_WRITE_THROUGH is not supported, so the new file is flushed
// under its name afterwards), and either flag that ignores errors would let
// the file lose its access control list or attributes without a word.
std::optional<FileFailure> replace(const QString& target, const QString& newFile, const FileIdentity& checked)
{
    const QString backup = target + QLatin1Char('~');
    if (identity(target) != checked) {
        ::DeleteFileW(nativePath(newFile).c_str());
        return replacedMeanwhile;
    }
    if (!::ReplaceFileW(nativePath(target).c_str(), nativePath(newFile).c_str(), nativePath(backup).c_str(), 0, nullptr,
                        nullptr)) {
        // Unless the old file was moved away, both files keep their names.
        const DWORD error = ::GetLastError();
        ::DeleteFileW(nativePath(newFile).c_str());
        if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2
            && !::MoveFileExW(nativePath(backup).c_str(), nativePath(target).c_str(), MOVEFILE_WRITE_THROUGH))
            return failedWith(leftInBackup.arg(QDir::toNativeSeparators(backup)), error);
        return failedWith(notWritten, error);
    }
    if (!flushed(target))
        return failedWith(savedNotSyncedBackupKept.arg(QDir::toNativeSeparators(backup)));
    ::DeleteFileW(nativePath(backup).c_str());
    return std::nullopt;
}

// A new name for the new file: the move returns once it is on the disk. A
// file given the name meanwhile is not written over.
std::optional<FileFailure> putInPlace(const QString& target, const QString& newFile)
{
    if (::MoveFileExW(nativePath(newFile).c_str(), nativePath(target).c_str(), MOVEFILE_WRITE_THROUGH))
        return std::nullopt;
    const DWORD error = ::GetLastError();
    ::DeleteFileW(nativePath(newFile).c_str());
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? createdMeanwhile
                                                                        : failedWith(notCreated, error);
}

}  // namespace

void ignoreFileSizeLimitSignal()
{
}

std::optional<FileFailure> writeWholeFile(const QString& path, QByteArrayView content)
{
    // Looked at before anything is written: a device (NUL, COM1, a pipe) or a
    // folder is no font file, and a file marked read-only is meant to stay as
    // it is. A link stays a link: its target gets the new bytes.
    QString target = QFileInfo(path).absoluteFilePath();
    BY_HANDLE_FILE_INFORMATION old{};
    Handle existing(::CreateFileW(nativePath(target).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (existing.isOpen()) {
        if (::GetFileType(existing.get()) != FILE_TYPE_DISK)
            return notRegular;
        if (!::GetFileInformationByHandle(existing.get(), &old))
            return failedWith(notOpened);
        if (old.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return notRegular;
        if (old.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
            return readOnly;
        target = finalPath(existing);
        if (target.isEmpty())
            return failedWith(notOpened);
    } else if (const DWORD error = ::GetLastError(); error != ERROR_FILE_NOT_FOUND) {
        return failedWith(notOpened, error);
    }

    const bool exists = existing.isOpen();
    existing.close();

    // A new file is one still to be archived, as any new file is.
    const DWORD attributes = exists ? old.dwFileAttributes : FILE_ATTRIBUTE_ARCHIVE;
    QString newFile;
    if (const auto failure = writeBeside(QFileInfo(target), content, attributes, exists ? notWritten : notCreated, newFile))
        return failure;
    return exists ? replace(target, newFile, identityOf(old)) : putInPlace(target, newFile);
}
