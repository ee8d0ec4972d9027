#pragma once

#include "glyphora_application.h"

#include <QTest>

// Runs a test object under the application the program ships, with its font,
// its style and its German dialogs, so that the windows under test look and
// behave as the person sees them.
#define GLYPHORA_TEST_MAIN(TestObject)                \
    int main(int argc, char* argv[])                  \
    {                                                 \
        GlyphoraApplication application(argc, argv);  \
        TestObject test;                              \
        QTEST_SET_MAIN_SOURCE_PATH                    \
        return QTest::qExec(&test, argc, argv);       \
    }
