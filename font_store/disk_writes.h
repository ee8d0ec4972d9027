#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

// Writing a file so that a failure never costs the old one, and what the
// operating system does to a write that cannot be completed. Everything
// specific to one kind of system lives in disk_writes.cpp.

// A write beyond the process's file-size limit ends the program on Unix-like
// systems (SIGXFSZ), and the font in memory with it. Once this has run, such a
// write fails with an error instead. Call it once, at start-up.
void ignoreFileSizeLimitSignal();

// Why a file was not written: the step that failed, worded to follow
// "Die Datei „<path>“", and the system's reason, empty where the step says all.
struct WriteFailure
{
    QString failedStep;
    QString reason;
};

// Makes `content` the whole of the file at `path`, every byte on the disk.
// Returns the failure, or nothing once the file is written. After a failure
// the old file is as it was, unless the failed step says otherwise.
//
// On Unix-like systems a file that exists stays what it is: a link to it
// stays a link, and the file keeps its owner, group, mode, access control
// list, extended attributes and hard links. A new file takes its place at once
// where the new file can carry all of that; otherwise the bytes go into the
// file itself. Only a regular file with a write permission bit is written.
std::optional<WriteFailure> writeWholeFile(const QString& path, QByteArrayView content);
