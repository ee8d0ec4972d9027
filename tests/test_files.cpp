#include "test_files.h"

#include <QFile>

QByteArray patternedBytes(qsizetype length)
{
    QByteArray bytes(length, '\0');
    for (qsizetype i = 0; i < length; ++i)
        bytes[i] = char(i * 37 + i / 256 + 3);
    return bytes;
}

// Written over and then cut to length, not cut first: FAT through FUSE
// refuses to write into a file once it was cut to nothing, and to cut one to
// the length it has.
bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.write(content) == content.size()
        && (file.size() == content.size() || file.resize(content.size()));
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
