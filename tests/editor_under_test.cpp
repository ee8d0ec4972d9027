#include "editor_under_test.h"

#include "picture_box.h"
#include "pixel_button.h"
#include "slider.h"

#include <QAbstractButton>
#include <QStyle>
#include <QStyleOptionSlider>
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

int grooveCentreX(const Slider* slider)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.tickPosition = slider->tickPosition();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, slider).center().x();
}

QImage drawnPixels(PictureBox* box)
{
    return box->grab(box->drawingArea()).toImage();
}

QRgb rgbAt(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}
