#pragma once

#include "glyphora_application.h"

#include <QTest>

// Runs a test object under the application the program ships, with its font,
// its style and its German dialogs, so that the windows under test look and
// behave as the person sees them: on a real X server through Qt's X11
// platform, which repaints only what the program asks for, as people's
// displays do. Any other platform is refused, so that no run slips back to
// one that hides a missed repaint.
#define GLYPHORA_TEST_MAIN(TestObject)                                                         \
    int main(int argc, char* argv[])                                                           \
    {                                                                                          \
        GlyphoraApplication application(argc, argv);                                           \
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {                         \
            qCritical("Window tests run on Qt's X11 platform (xcb) only, not on \"%s\".",      \
                      qPrintable(QGuiApplication::platformName()));                           \
            return 1;                                                                          \
        }                                                                                      \
        TestObject test;                                                                       \
        QTEST_SET_MAIN_SOURCE_PATH                                                             \
        return QTest::qExec(&test, argc, argv);                                                \
    }
