#pragma once

#include "file_failures.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

// Writing a file so that a failure never costs the old one, and what the
// operating system does to a write that cannot be completed. Unix-like
// systems save as disk_writes_posix.cpp says, Windows as disk_writes_windows.cpp.

// A write beyond the process's file-size limit ends the program on Unix-like
// systems (SIGXFSZ), and the font in memory with it. Once this has run, such a
// write fails with an error instead. Call it once, at start-up.
void ignoreFileSizeLimitSignal();

// Makes `content` the whole of the file at `path`, every byte on the disk.
// Returns the failure, or nothing once the file and its name would survive a
// power cut. A failure's step says what is under the name then and where the
// old content is: the old file as it was, unless the step says otherwise.
//
// On Unix-like systems a file that exists stays what it is: a link to it
// stays a link, and the file keeps its owner, group, mode, access control
// list, extended attributes and hard links. A new file takes its place at once
// where the new file can carry all of that; otherwise the bytes go into the
// file itself, and until they are all on the disk its old bytes are kept
// beside it, in a backup named as the file with a "~" after it (the name cut
// short by a character where the whole would be too long). A crash at any
// moment leaves the old or the new content whole under the file's name, or the
// old one in the backup. Only a regular file with a write permission bit is
// written, one save of it at a time. What a crash leaves of a save besides is
// hidden, and the next save of the file removes it (pending_file.h).
//
// On Windows a file that exists is replaced by a new one that keeps its
// security (access control list, owner), attributes, creation time and
// further streams, the old one kept as "<name>~" until the new one is on the
// disk; a link's target gets the new bytes. Further hard links keep the old
// bytes. Only a file on a disk that is not marked read-only is written.
std::optional<FileFailure> writeWholeFile(const QString& path, QByteArrayView content);
