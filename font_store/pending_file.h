#pragma once

#include "descriptor.h"

#include <QByteArray>

#include <sys/types.h>

// `name` with `ending` after it, `name` cut short at a whole character where
// the whole would be longer than `room` bytes.
QByteArray nameWithEnding(const QByteArray& name, const QByteArray& ending, qsizetype room);

// A new file in a folder that nobody sees until it takes its name. On Linux
// it has no name at all until then (O_TMPFILE); where there are no such files
// (FUSE, other systems) or no /proc to reach one by (a container, a chroot),
// it has a hidden one that says it is ours: a dot, the name of the file it is
// for, ".glyphora-" and six letters or digits (".font.FNT.glyphora-a1B2c3").
// It is locked while the save runs. A crash may leave it behind, and so may a
// crash in the instant in which a file with no name has such a name on its
// way to its own: the next successful save of that file removes such a
// leftover once nobody holds its lock, and nothing else.
class PendingFile
{
public:
    // Makes the file in `folder` for the file named `forName` there, with `mode`
    // as a new file gets it. Not isOpen(), with the reason in errno, where
    // the folder allows no new file.
    PendingFile(int folder, const QByteArray& forName, mode_t mode);
    ~PendingFile();  // removes the file unless it took its name

    bool isOpen() const { return file.isOpen(); }
    int descriptor() const { return file.get(); }

    // Gives the file the name `name` in its folder at once. Where `replacing`,
    // over whatever has it there; else it fails with EEXIST where the name is
    // taken, even when that happens while it runs. False with the reason in
    // errno.
    bool takeName(const QByteArray& name, bool replacing);

    // Removes what crashed saves of the file `forName` left in `folder`.
    static void removeLeftovers(int folder, const QByteArray& forName);

private:
    static QByteArray hiddenPrefix(const QByteArray& forName);
    bool openHidden(const QByteArray& name, mode_t mode);
    bool reachableThroughProc() const;
    bool linkAs(const QByteArray& name) const;
    bool moveToFreeName(const QByteArray& name) const;

    int folder;
    QByteArray prefix;      // of the hidden names
    QByteArray hiddenName;  // empty while the file has no name, or once it took its own
    Descriptor file;
};
