#include "file_size_limit.h"

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
#ifdef Q_OS_UNIX
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0)
        return;
    earlierLimit = limit.rlim_cur;
    limit.rlim_cur = rlim_t(bytes);
    inForce = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
#else
    Q_UNUSED(bytes);
#endif
}

FileSizeLimit::~FileSizeLimit()
{
#ifdef Q_OS_UNIX
    if (!inForce)
        return;
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(earlierLimit);
    ::setrlimit(RLIMIT_FSIZE, &limit);
#endif
}
