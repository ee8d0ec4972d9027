#pragma once

class QFileDevice;
class QString;

// What the operating system does to a write that cannot be completed, turned
// into errors that a save can report. Everything specific to one kind of
// system lives in disk_writes.cpp.

// A write beyond the process's file-size limit ends the program on Unix-like
// systems (SIGXFSZ), and the font in memory with it. Once this has run, such a
// write fails with an error instead. Call it once, at start-up.
void ignoreFileSizeLimitSignal();

// Waits until the bytes written to `file` are on the disk. Returns true when
// they are, false with the system's reason in `reason` when they cannot get
// there (a full disk on a network file system, a failing disk).
bool syncToDisk(QFileDevice& file, QString& reason);
