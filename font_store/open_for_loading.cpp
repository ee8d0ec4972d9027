#include "open_for_loading.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include "descriptor.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#endif

std::optional<LoadOpenFailure> openForLoading(QFile& file)
{
    const LoadOpenFailure noRegularFile{true, QString()};
    if (!QFileInfo(file.fileName()).isFile())
        return noRegularFile;
#ifdef Q_OS_UNIX
    Descriptor opened(::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status {};
    if (!opened.isOpen() || ::fstat(opened.get(), &status) != 0)
        return errno == ENOENT ? noRegularFile : LoadOpenFailure{false, qt_error_string(errno)};
    if (!S_ISREG(status.st_mode))
        return noRegularFile;
    if (!file.open(opened.release(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
#else
    if (!file.open(QIODevice::ReadOnly))
#endif
        return LoadOpenFailure{false, file.errorString()};
    return std::nullopt;
}
