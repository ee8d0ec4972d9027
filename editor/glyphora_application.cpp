#include "glyphora_application.h"

#include "design_style.h"
#include "disk_writes.h"

#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QLibraryInfo>

GlyphoraApplication::GlyphoraApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    // The application name is the windows' X11 class, which the desktop entry
    // names as its StartupWMClass; Wayland knows the program by the entry's name.
    setApplicationName(QStringLiteral("Glyphora"));
    setDesktopFileName(QStringLiteral(GLYPHORA_ID));
    setWindowIcon(QIcon(QStringLiteral(":/glyphora.png")));
    // A save beyond a file-size limit must fail like one onto a full disk,
    // not end the program with the font unsaved.
    ignoreFileSizeLimitSignal();
    setStyle(new DesignStyle);

    // Where the system lacks the window's font or Qt's German texts, the
    // program carries them (on Windows).
    for (const QFileInfo& carried : QDir(QStringLiteral(":/fonts")).entryInfoList())
        QFontDatabase::addApplicationFont(carried.filePath());
    const QString carriedTranslations = QStringLiteral(":/translations");
    const QString translations = QDir(carriedTranslations).exists() ? carriedTranslations
                                                                     : QLibraryInfo::path(QLibraryInfo::TranslationsPath);

    QFont designFont(QStringLiteral("DejaVu Sans Condensed"));
    designFont.setPixelSize(10);
#ifdef Q_OS_WIN
    // Windows places every letter on a whole pixel, which makes a text a
    // little wider than on Linux, whose letters may stand between pixels:
    // set a little closer, every caption still fits at every scale.
    designFont.setLetterSpacing(QFont::PercentageSpacing, 92);
#endif
    setFont(designFont);

    // Without the translation Qt's buttons stay English; the editor works all the same.
    if (qtTranslation.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"), translations))
        installTranslator(&qtTranslation);
}
