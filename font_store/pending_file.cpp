#include "pending_file.h"

#include <QByteArrayView>
#include <QRandomGenerator>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <string_view>

namespace {

const QByteArray ourMark = ".glyphora-";  // after the name a hidden file is for
constexpr qsizetype suffixLength = 6;     // random letters and digits after the mark
constexpr char suffixSymbols[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// The first of some random names beginning with `prefix` that `use` takes; an
// empty one, with the reason in errno, when it fails other than for a name
// already taken.
template <typename Use>
QByteArray firstFreeName(const QByteArray& prefix, Use use)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray name = prefix;
        for (qsizetype i = 0; i < suffixLength; ++i)
            name += suffixSymbols[QRandomGenerator::global()->bounded(int(sizeof suffixSymbols - 1))];
        if (use(name))
            return name;
        if (errno != EEXIST)
            break;
    }
    return {};
}

bool isHiddenName(QByteArrayView name, const QByteArray& prefix)
{
    return name.size() == prefix.size() + suffixLength && name.startsWith(prefix)
        && std::all_of(name.begin() + prefix.size(), name.end(), [](char symbol) {
               return std::string_view(suffixSymbols).find(symbol) != std::string_view::npos;
           });
}

// How a file with no name is reached: through /proc, which, unlike
// AT_EMPTY_PATH, needs no privilege.
QByteArray pathThroughProc(int file)
{
    return "/proc/self/fd/" + QByteArray::number(file);
}

// Locks a file of ours so that no other save takes it for a leftover. A file
// system without locks has no way to tell, and so no leftover is removed there.
bool lockedAsOurs(int file)
{
    return ::flock(file, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

// The file system has no such call. ENOTSUP and EOPNOTSUPP are one on Linux,
// not everywhere.
bool unsupported()
{
    return errno == ENOSYS || errno == ENOTSUP || errno == EOPNOTSUPP;
}

// Whether `name` in `folder` is the file open as `file`.
bool namesFile(int folder, const char* name, int file)
{
    struct stat named {};
    struct stat opened {};
    return ::fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(file, &opened) == 0
        && sameFile(named, opened);
}

}  // namespace

QByteArray nameWithEnding(const QByteArray& name, const QByteArray& ending, qsizetype room)
{
    qsizetype kept = std::min(name.size(), room - ending.size());
    if (kept < name.size())
        while (kept > 0 && (quint8(name[kept]) & 0xC0) == 0x80)  // inside a UTF-8 character
            --kept;
    return name.left(kept) + ending;
}

PendingFile::PendingFile(int inFolder, const QByteArray& forName, mode_t mode)
    : folder(inFolder)
    , prefix(hiddenPrefix(forName))
{
#ifdef O_TMPFILE
    file = Descriptor(::openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode));
    // Kernels before 3.11 take O_TMPFILE for O_DIRECTORY and say EISDIR.
    if (file.isOpen() ? reachableThroughProc() && lockedAsOurs(file.get()) : errno != EOPNOTSUPP && errno != EISDIR)
        return;
    file = Descriptor();
#endif
    hiddenName = firstFreeName(prefix, [&](const QByteArray& name) { return openHidden(name, mode); });
}

PendingFile::~PendingFile()
{
    if (!hiddenName.isEmpty())
        ::unlinkat(folder, hiddenName.constData(), 0);
}

bool PendingFile::takeName(const QByteArray& name, bool replacing)
{
    if (hiddenName.isEmpty()) {
        if (!replacing)
            return linkAs(name);
        // A rename is the one step that puts a file over another at once, and
        // it needs a name to rename from.
        hiddenName = firstFreeName(prefix, [this](const QByteArray& candidate) { return linkAs(candidate); });
        if (hiddenName.isEmpty())
            return false;
    }
    if (replacing ? ::renameat(folder, hiddenName.constData(), folder, name.constData()) != 0 : !moveToFreeName(name))
        return false;
    hiddenName.clear();
    return true;
}

void PendingFile::removeLeftovers(int folder, const QByteArray& forName)
{
    const QByteArray leftoverPrefix = hiddenPrefix(forName);
    const int listed = ::dup(folder);
    DIR* entries = listed < 0 ? nullptr : ::fdopendir(listed);
    if (entries == nullptr) {
        if (listed >= 0)
            ::close(listed);
        return;
    }
    while (const dirent* entry = ::readdir(entries)) {
        if (!isHiddenName(entry->d_name, leftoverPrefix))
            continue;
        // Only a regular file that nobody holds, and still under that name.
        const Descriptor leftover(
            ::openat(folder, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        struct stat status {};
        if (leftover.isOpen() && ::fstat(leftover.get(), &status) == 0 && S_ISREG(status.st_mode)
            && ::flock(leftover.get(), LOCK_EX | LOCK_NB) == 0 && namesFile(folder, entry->d_name, leftover.get()))
            ::unlinkat(folder, entry->d_name, 0);
    }
    ::closedir(entries);
}

// A dot, the name, and our mark, the name cut short where the whole would be
// longer than a file name may be.
QByteArray PendingFile::hiddenPrefix(const QByteArray& forName)
{
    return '.' + nameWithEnding(forName, ourMark, NAME_MAX - 1 - suffixLength);
}

// Makes the hidden file `name` and locks it. A removal of leftovers that
// takes it for one in the moment before the lock removes it: then it fails
// with EEXIST, and another name is tried.
bool PendingFile::openHidden(const QByteArray& name, mode_t mode)
{
    file = Descriptor(::openat(folder, name.constData(), O_CREAT | O_EXCL | O_RDWR | O_NOFOLLOW | O_CLOEXEC, mode));
    if (!file.isOpen())
        return false;
    if (lockedAsOurs(file.get()) && namesFile(folder, name.constData(), file.get()))
        return true;
    file = Descriptor();
    errno = EEXIST;
    return false;
}

bool PendingFile::reachableThroughProc() const
{
    return ::faccessat(AT_FDCWD, pathThroughProc(file.get()).constData(), F_OK, AT_SYMLINK_NOFOLLOW) == 0;
}

bool PendingFile::linkAs(const QByteArray& name) const
{
    return ::linkat(AT_FDCWD, pathThroughProc(file.get()).constData(), folder, name.constData(), AT_SYMLINK_FOLLOW) == 0;
}

// Moves the hidden file to `name` unless that is taken: renamed so where the
// file system can, else linked there and its hidden name removed. Without
// either (FAT through FUSE), the name is renamed to once seen free, the folder
// locked meanwhile, so that no other save of ours takes it in between.
bool PendingFile::moveToFreeName(const QByteArray& name) const
{
    const char* const from = hiddenName.constData();
#ifdef RENAME_NOREPLACE
    if (::renameat2(folder, from, folder, name.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && !unsupported())
        return false;
#endif
    if (::linkat(folder, from, folder, name.constData(), 0) == 0) {
        ::unlinkat(folder, from, 0);  // should that fail, a leftover like any other
        return true;
    }
    if (errno != EPERM && !unsupported())  // FAT has no links
        return false;
    ::flock(folder, LOCK_EX);
    struct stat taken {};
    bool moved = false;
    if (::fstatat(folder, name.constData(), &taken, AT_SYMLINK_NOFOLLOW) == 0)
        errno = EEXIST;
    else if (errno == ENOENT)
        moved = ::renameat(folder, from, folder, name.constData()) == 0;
    const int reason = errno;
    ::flock(folder, LOCK_UN);
    errno = reason;
    return moved;
}
