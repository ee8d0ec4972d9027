#pragma once

#include <QFile>
#include <QString>

#include <optional>

// Why a chosen file was not opened for loading: it is no regular file, or
// the system's reason.
struct LoadOpenFailure
{
    bool noRegularFile = false;
    QString reason;
};

// Opens `file`, whose name is set, for reading when it names a regular file,
// after symbolic links. Nothing else is opened in a way that could wait for
// ever: on Unix-like systems the file is opened without waiting and what was
// opened is checked, so that a FIFO or device swapped in after the check is
// refused too.
std::optional<LoadOpenFailure> openForLoading(QFile& file);
