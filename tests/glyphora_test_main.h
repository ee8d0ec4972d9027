#pragma once

#include "glyphora_application.h"

#include <QTest>

// Runs a test object under the application the program ships, with its font,
// its style and its German dialogs, so that the windows under test look and
// behave as the person sees them: on a real X server through Qt's X11
// platform, or on Windows through Qt's windows platform, both of which
// repaint only what the program asks for, as people's displays do. Any other
// platform is refused, so that no run slips back to one that hides a missed
// repaint.
#ifdef Q_OS_WIN
#define GLYPHORA_DESKTOP_PLATFORM "windows"
#else
#define GLYPHORA_DESKTOP_PLATFORM "xcb"
#endif
#define GLYPHORA_TEST_MAIN(TestObject)                                                         \
    int main(int argc, char* argv[])                                                           \
    {                                                                                          \
        GlyphoraApplication application(argc, argv);                                           \
        if (QGuiApplication::platformName() != QLatin1String(GLYPHORA_DESKTOP_PLATFORM)) {     \
            qCritical("Window tests run on Qt's desktop platform (%s) only, not on \"%s\".",   \
                      GLYPHORA_DESKTOP_PLATFORM, qPrintable(QGuiApplication::platformName())); \
            return 1;                                                                          \
        }                                                                                      \
        TestObject test;                                                                       \
        QTEST_SET_MAIN_SOURCE_PATH                                                             \
        return QTest::qExec(&test, argc, argv);                                                \
    }
