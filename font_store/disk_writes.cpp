#include "disk_writes.h"

#include <QFileDevice>
#include <QString>

#ifdef Q_OS_UNIX
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

void ignoreFileSizeLimitSignal()
{
#ifdef Q_OS_UNIX
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

bool syncToDisk(QFileDevice& file, QString& reason)
{
#ifdef Q_OS_UNIX
    // QSaveFile::commit() syncs as well, but it ignores the result: only a
    // sync of our own can tell that the bytes did not reach the disk.
    if (::fsync(file.handle()) != 0) {
        reason = qt_error_string(errno);  // worded as Qt's own file errors
        return false;
    }
#else
    // Elsewhere QSaveFile::commit() flushes the system's buffers itself.
    Q_UNUSED(file);
    Q_UNUSED(reason);
#endif
    return true;
}
