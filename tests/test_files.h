#pragma once

#include <QByteArray>
#include <QString>

// `length` bytes that differ from place to place and from their neighbours,
// so that a byte read, stored or shown from the wrong place is seen.
QByteArray patternedBytes(qsizetype length);

// Writes `content` as the whole file; false when that failed.
bool writeFile(const QString& path, const QByteArray& content);

// The whole file; empty when it cannot be read.
QByteArray readFile(const QString& path);
