#pragma once

#include <QString>

// Why a file was not loaded or saved: the step that failed, worded to follow
// "Die Datei „<path>“", and the system's reason, empty where the step says all.
struct FileFailure
{
    QString failedStep;
    QString reason;

    bool operator==(const FileFailure& other) const
    {
        return failedStep == other.failedStep && reason == other.reason;
    }
    bool operator!=(const FileFailure& other) const { return !(*this == other); }
};

// What a failed load or save says, on every system. Each failed save says
// what is under the file's name now and where its old content is.
namespace fileFailures {

// Loading.
// The chosen name leads to no regular file: the path alone is shown, with
// this after it, and the person is asked again.
inline const FileFailure notFound{QStringLiteral(" nicht gefunden!"), QString()};
inline const QString notOpenedForReading = QStringLiteral("konnte nicht geöffnet werden.");
inline const QString notRead = QStringLiteral("konnte nicht gelesen werden.");
inline const QString readShort = QStringLiteral("Es wurden nur %1 von %2 Bytes gelesen.");
inline const QString wrongSizePrompt = QStringLiteral("Ungültiges Dateiformat!");
inline const QString wrongSizeTitle = QStringLiteral("Fehler beim Laden!");

// Saving, refused before anything is written.
inline const QString notOpened = QStringLiteral("konnte nicht zum Schreiben geöffnet werden.");
inline const QString noNewFileInFolder = QStringLiteral("konnte nicht gespeichert werden, weil im Ordner „%1“ "
                                                        "keine neue Datei angelegt werden kann.");
inline const QString noReplacingInFolder = QStringLiteral("konnte nicht gespeichert werden, weil im Ordner „%1“ "
                                                          "keine Datei ersetzt werden kann.");
inline const QString backupNotRegular = QStringLiteral("konnte nicht gespeichert werden, weil „%1“, der Name ihrer "
                                                       "Sicherungskopie, keine gewöhnliche Datei ist.");
inline const QString noBackup = QStringLiteral("konnte nicht gespeichert werden, weil ihre Sicherungskopie „%1“ "
                                               "nicht angelegt werden konnte.");
inline const FileFailure notRegular{
    QStringLiteral("konnte nicht gespeichert werden, weil sie keine gewöhnliche Datei ist."), QString()};
inline const FileFailure readOnly{QStringLiteral("konnte nicht gespeichert werden, weil sie schreibgeschützt ist."), QString()};
inline const FileFailure busy{
    QStringLiteral("konnte nicht gespeichert werden, weil sie gerade anderswo gespeichert wird."), QString()};
inline const FileFailure nameNotAsChosen{
    QStringLiteral("konnte nicht gespeichert werden, weil sich ihr Name nicht so schreiben lässt, wie er gewählt wurde."),
    QString()};

// Saving, failed on the way.
inline const QString notCreated = QStringLiteral("konnte nicht angelegt werden.");  // a new file: there is none
inline const QString notWritten = QStringLiteral("konnte nicht geschrieben werden. Sie ist unverändert.");
inline const FileFailure replacedMeanwhile{
    QStringLiteral("konnte nicht gespeichert werden, weil sie währenddessen durch eine andere ersetzt wurde. "
                   "Diese ist unverändert."),
    QString()};
inline const FileFailure createdMeanwhile{
    QStringLiteral("konnte nicht gespeichert werden, weil währenddessen eine andere Datei dieses Namens angelegt "
                   "wurde. Diese ist unverändert."),
    QString()};
inline const QString leftTorn = QStringLiteral("konnte nicht geschrieben werden und ist nun unvollständig. "
                                               "Ihr alter Inhalt liegt in „%1“.");
inline const QString leftInBackup = QStringLiteral("konnte nicht gespeichert werden, und unter ihrem Namen liegt "
                                                   "nichts mehr. Ihr alter Inhalt liegt in „%1“.");

// Saving, done but for the last sync: the new font has the name, yet a power
// cut may still undo that.
inline const QString savedNotSynced = QStringLiteral(
    "wurde gespeichert, ist aber noch nicht sicher auf der Platte: Nach einem Stromausfall könnte unter ihrem Namen "
    "noch liegen, was vor dem Speichern dort lag. Speichern Sie bitte noch einmal.");
inline const QString savedNotSyncedBackupKept = savedNotSynced + QStringLiteral(" Ihr alter Inhalt liegt in „%1“.");

}  // namespace fileFailures
