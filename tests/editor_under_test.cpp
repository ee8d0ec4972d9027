#include "editor_under_test.h"

#include "pixel_button.h"

#include <QAbstractButton>
#include <QTest>

EditorUnderTest::EditorUnderTest(const QString& programDirectory)
{
    auto dialogs = std::make_unique<ScriptedDialogs>();
    script = dialogs.get();
    editor = std::make_unique<frmMain>(std::move(dialogs), programDirectory);
    editor->show();
    if (!QTest::qWaitForWindowExposed(editor.get()))
        qFatal("the editor window was not shown");
}

PixelButton* EditorUnderTest::pixel(int index) const
{
    return control<PixelButton>(QStringLiteral("cmdPixel(%1)").arg(index));
}

void EditorUnderTest::clickPixel(int index)
{
    QTest::mouseClick(pixel(index), Qt::LeftButton);
}

void EditorUnderTest::click(const QString& buttonName)
{
    QTest::mouseClick(control<QAbstractButton>(buttonName), Qt::LeftButton);
}
