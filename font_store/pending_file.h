#pragma once

#include "descriptor.h"

#include <QByteArray>

#include <sys/types.h>

// A new file in a folder that nobody sees until it takes its name. On Linux
// it has no name at all until then (O_TMPFILE); on file systems without such
// files (FUSE) and elsewhere it has a hidden one, beginning with a prefix
// made from the name of the file it is for. A crash may leave a hidden one
// behind: the next successful save of that file removes it.
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

    // Gives the file the name `name` in its folder at once, over whatever has
    // it there. Where `replacing` is false, a file with no name yet is linked
    // under the name and fails with EEXIST where that is taken; a folder that
    // takes new files but lets none be replaced (append-only) allows that.
    // False with the reason in errno.
    bool takeName(const QByteArray& name, bool replacing);

    // Removes what crashed saves of the file `forName` left in `folder`.
    static void removeLeftovers(int folder, const QByteArray& forName);

private:
    static QByteArray hiddenPrefix(const QByteArray& forName);
    bool linkAs(const QByteArray& name) const;

    int folder;
    QByteArray prefix;      // of the hidden names
    QByteArray hiddenName;  // empty while the file has no name, or once it took its own
    Descriptor file;
};
