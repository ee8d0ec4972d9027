#include "glyphora_application.h"

#include "design_style.h"
#include "disk_writes.h"

#include <QFont>
#include <QLibraryInfo>

GlyphoraApplication::GlyphoraApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Glyphora"));
    // A save beyond a file-size limit must fail like one onto a full disk,
    // not end the program with the font unsaved.
    ignoreFileSizeLimitSignal();
    setStyle(new DesignStyle);

    QFont designFont(QStringLiteral("DejaVu Sans Condensed"));
    designFont.setPixelSize(10);
    setFont(designFont);

    // Without the translation Qt's buttons stay English; the editor works all the same.
    if (qtTranslation.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&qtTranslation);
}
