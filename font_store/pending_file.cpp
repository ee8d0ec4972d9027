#include "pending_file.h"

#include <QByteArrayView>
#include <QRandomGenerator>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace {

constexpr qsizetype suffixLength = 6;  // random letters and digits after the prefix

// The first of some random names beginning with `prefix` that `use` takes; an
// empty one, with the reason in errno, when it fails other than for a name
// already taken.
template <typename Use>
QByteArray firstFreeName(const QByteArray& prefix, Use use)
{
    static constexpr char symbols[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray name = prefix;
        for (qsizetype i = 0; i < suffixLength; ++i)
            name += symbols[QRandomGenerator::global()->bounded(int(sizeof symbols - 1))];
        if (use(name))
            return name;
        if (errno != EEXIST)
            break;
    }
    return {};
}

}  // namespace

PendingFile::PendingFile(int inFolder, const QByteArray& forName, mode_t mode)
    : folder(inFolder)
    , prefix(hiddenPrefix(forName))
{
#ifdef O_TMPFILE
    file = Descriptor(::openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode));
    // Kernels before 3.11 take O_TMPFILE for O_DIRECTORY and say EISDIR.
    if (file.isOpen() || (errno != EOPNOTSUPP && errno != EISDIR))
        return;
#endif
    hiddenName = firstFreeName(prefix, [&](const QByteArray& name) {
        file = Descriptor(::openat(folder, name.constData(), O_CREAT | O_EXCL | O_RDWR | O_NOFOLLOW | O_CLOEXEC, mode));
        return file.isOpen();
    });
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
    if (::renameat(folder, hiddenName.constData(), folder, name.constData()) != 0)
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
        const QByteArrayView name(entry->d_name);
        if (name.size() == leftoverPrefix.size() + suffixLength && name.startsWith(leftoverPrefix))
            ::unlinkat(folder, entry->d_name, 0);
    }
    ::closedir(entries);
}

// A dot, the name, and a dot, the name cut short where the whole would be
// longer than a file name may be.
QByteArray PendingFile::hiddenPrefix(const QByteArray& forName)
{
    return '.' + forName.left(NAME_MAX - 2 - suffixLength) + '.';
}

// A file with no name is reached through /proc, which, unlike AT_EMPTY_PATH,
// needs no privilege.
bool PendingFile::linkAs(const QByteArray& name) const
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(file.get());
    return ::linkat(AT_FDCWD, self.constData(), folder, name.constData(), AT_SYMLINK_FOLLOW) == 0;
}
