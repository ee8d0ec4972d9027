// Saving where the system is not Unix-like: Qt's own safe save, which writes a
// new file beside the old one and renames it over the old one once written.

#include "disk_writes.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {

// Writes every byte, or returns false with the reason in the file's
// errorString(). A write may stop short at a full disk; the next one then
// fails and tells why.
bool writeAll(QFileDevice& file, QByteArrayView content)
{
    for (qsizetype written = 0; written < content.size();) {
        const qint64 step = file.write(content.data() + written, content.size() - written);
        if (step <= 0)
            return false;
        written += step;
    }
    return true;
}

// A save opens a new file beside the old one, so a folder that allows no new
// file stops it, even where the font file itself could be written.
QString whyNotOpenedForWriting(const QString& path)
{
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (folder.isDir() && !folder.isWritable() && !target.isDir())
        return QStringLiteral("konnte nicht gespeichert werden, weil im Ordner „%1“ keine neue Datei angelegt werden kann.")
            .arg(folder.absoluteFilePath());
    return QStringLiteral("konnte nicht zum Schreiben geöffnet werden.");
}

}  // namespace

void ignoreFileSizeLimitSignal()
{
}

std::optional<WriteFailure> writeWholeFile(const QString& path, QByteArrayView content)
{
    // Unbuffered, so that each write reaches the system at once and its
    // failure shows here: commit() would put the file in place even when
    // writing out Qt's buffer failed. commit() flushes the system's buffers.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return WriteFailure{whyNotOpenedForWriting(path), file.errorString()};
    if (!writeAll(file, content))
        return WriteFailure{QStringLiteral("konnte nicht geschrieben werden."), file.errorString()};
    if (!file.commit()) {
        // Qt may know no reason when only the final rename fails, so say
        // plainly that the old file is still there.
        return WriteFailure{QStringLiteral("konnte nicht gespeichert werden. "
                                           "Eine schon vorhandene Datei dieses Namens ist unverändert."),
                            file.errorString()};
    }
    return std::nullopt;
}
