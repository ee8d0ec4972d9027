// Saving on Windows. The new font goes into a new file beside the old one and
// onto the disk, with the old one's attributes; only then does it take the
// old file's place, which ReplaceFileW does keeping the rest of what the old
// file is, the old one kept as a backup until the new one is there. Nothing is reported saved before it
// would survive a power cut.

#include "disk_writes.h"
#include "save_failures.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <windows.h>

#include <string>
#include <utility>
#include <variant>

namespace {

using namespace saveFailures;

std::wstring nativePath(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// The failure of a step, with the system's reason for the call that just failed.
WriteFailure failedWith(const QString& step, DWORD error = ::GetLastError())
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
// settable ones of `attributes`; its name has no meaning. A crash while it is
// written leaves nothing, as it is removed on close until then. Returns its
// path, or the failure.
std::variant<QString, WriteFailure> writeBeside(const QFileInfo& target, QByteArrayView content, DWORD attributes)
{
    static constexpr char symbols[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString name = QLatin1Char('.') + target.fileName() + QLatin1Char('.');
        for (int i = 0; i < 6; ++i)
            name += QLatin1Char(symbols[QRandomGenerator::global()->bounded(int(sizeof symbols - 1))]);
        const QString path = target.dir().filePath(name);
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
        if (!removeOnClose(file, true))
            return failedWith(notOpened);
        FILE_BASIC_INFO basic{};  // times left as they are
        const DWORD kept = attributes & settableAttributes;
        basic.FileAttributes = kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL;
        if (!writeAll(file, content) || !::SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof basic)
            || !::FlushFileBuffers(file.get()) || !removeOnClose(file, false))
            return failedWith(notWritten);
        file.close();
        return path;
    }
    return failedWith(notOpened, ERROR_FILE_EXISTS);
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

// Puts the new file in the old one's place. The old one becomes the backup
// `<name>~` on the way, and goes once the new one is on the disk; should it be
// left under the backup's name alone, it is put back.
std::optional<WriteFailure> replace(const QString& target, const QString& newFile)
{
    const QString backup = target + QLatin1Char('~');
    if (!::ReplaceFileW(nativePath(target).c_str(), nativePath(newFile).c_str(), nativePath(backup).c_str(), 0, nullptr,
                        nullptr)) {
        const DWORD error = ::GetLastError();
        ::DeleteFileW(nativePath(newFile).c_str());
        if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2
            && !::MoveFileExW(nativePath(backup).c_str(), nativePath(target).c_str(), MOVEFILE_WRITE_THROUGH))
            return failedWith(notRestored.arg(QDir::toNativeSeparators(backup)), error);
        return failedWith(notPutInPlace, error);
    }
    if (!flushed(target))
        return failedWith(notWritten);
    ::DeleteFileW(nativePath(backup).c_str());
    return std::nullopt;
}

// A new name for the new file: the move returns once it is on the disk. A
// file given the name meanwhile is not written over.
std::optional<WriteFailure> putInPlace(const QString& target, const QString& newFile)
{
    if (::MoveFileExW(nativePath(newFile).c_str(), nativePath(target).c_str(), MOVEFILE_WRITE_THROUGH))
        return std::nullopt;
    const DWORD error = ::GetLastError();
    ::DeleteFileW(nativePath(newFile).c_str());
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? replacedMeanwhile
                                                                        : failedWith(notPutInPlace, error);
}

}  // namespace

void ignoreFileSizeLimitSignal()
{
}

std::optional<WriteFailure> writeWholeFile(const QString& path, QByteArrayView content)
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
    const auto written = writeBeside(QFileInfo(target), content, attributes);
    if (const auto* failure = std::get_if<WriteFailure>(&written))
        return *failure;
    const QString& newFile = std::get<QString>(written);
    return exists ? replace(target, newFile) : putInPlace(target, newFile);
}
