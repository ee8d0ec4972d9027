#pragma once

#include "disk_writes.h"

#include <QString>

// What a failed save says, on every system, worded to follow "Die Datei „<path>“".
namespace saveFailures {

inline const QString notOpened = QStringLiteral("konnte nicht zum Schreiben geöffnet werden.");
inline const QString notWritten = QStringLiteral("konnte nicht geschrieben werden.");
inline const QString notPutInPlace = QStringLiteral("konnte nicht gespeichert werden. "
                                                    "Eine schon vorhandene Datei dieses Namens ist unverändert.");
inline const QString noNewFileInFolder = QStringLiteral("konnte nicht gespeichert werden, weil im Ordner „%1“ "
                                                        "keine neue Datei angelegt werden kann.");
inline const QString noReplacingInFolder = QStringLiteral("konnte nicht gespeichert werden, weil im Ordner „%1“ "
                                                          "keine Datei ersetzt werden kann.");
inline const QString noBackup = QStringLiteral("konnte nicht gespeichert werden, weil ihre Sicherungskopie „%1“ "
                                               "nicht angelegt werden konnte.");
inline const QString notRestored = QStringLiteral("konnte nicht geschrieben werden. Ihr alter Inhalt liegt in „%1“.");
inline const WriteFailure notRegular{
    QStringLiteral("konnte nicht gespeichert werden, weil sie keine gewöhnliche Datei ist."), QString()};
inline const WriteFailure readOnly{QStringLiteral("konnte nicht gespeichert werden, weil sie schreibgeschützt ist."), QString()};
inline const WriteFailure busy{
    QStringLiteral("konnte nicht gespeichert werden, weil sie gerade anderswo gespeichert wird."), QString()};
inline const WriteFailure replacedMeanwhile{
    QStringLiteral("konnte nicht gespeichert werden, weil sie währenddessen durch eine andere ersetzt wurde."), QString()};
inline const WriteFailure nameNotAsChosen{
    QStringLiteral("konnte nicht gespeichert werden, weil sich ihr Name nicht so schreiben lässt, wie er gewählt wurde."),
    QString()};

}  // namespace saveFailures
