#pragma once

#include <QtGlobal>

// Lowers the process's file-size limit while it lives, so that writes fail as
// they do on a full disk, without root rights or a file system of its own.
// The old limit comes back when it goes, also when a check fails on the way.
// The program must ignore SIGXFSZ meanwhile, or the first write beyond the
// limit ends it.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    // False where the system has no such limit, or it could not be lowered.
    bool isInForce() const { return inForce; }

private:
    bool inForce = false;
    quint64 earlierLimit = 0;
};
