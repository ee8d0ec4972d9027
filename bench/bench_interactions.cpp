// What a person does in the editor, timed from the input to the end of the
// repaint it causes, on Qt's offscreen platform.

#include "combo_box.h"
#include "frmmain.h"
#include "frmpreview.h"
#include "picture_box.h"
#include "pixel_button.h"
#include "scripted_dialogs.h"
#include "slider.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <benchmark/benchmark.h>

namespace {

// Handles every pending event, paint requests included, so that the drawing an
// interaction caused has finished.
void finishDrawing()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

void showAndPaint(QWidget& window)
{
    window.show();
    while (!window.windowHandle()->isExposed())
        QCoreApplication::processEvents();
    finishDrawing();
}

struct Editor
{
    ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<frmMain> window;

    Editor()
    {
        auto script = std::make_unique<ScriptedDialogs>();
        dialogs = script.get();
        window = std::make_unique<frmMain>(std::move(script));
        showAndPaint(*window);
    }

    template <typename Control>
    Control* control(const char* name) const
    {
        return window->findChild<Control*>(QString::fromLatin1(name));
    }
};

void BM_StartUp(benchmark::State& state)
{
    for (auto _ : state) {
        Editor editor;
        benchmark::DoNotOptimize(editor.window.get());
    }
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond);

// One step down or up the slider with the keys: the glyph being left is
// stored, the next one shown with its codes and pictures.
void BM_SelectCharacter(benchmark::State& state)
{
    Editor editor;
    auto* slider = editor.control<Slider>("sldSelectCharacter");
    slider->setFocus();
    bool down = true;
    for (auto _ : state) {
        QTest::keyClick(slider, down ? Qt::Key_Down : Qt::Key_Up);
        finishDrawing();
        down = !down;
    }
}
BENCHMARK(BM_SelectCharacter)->Unit(benchmark::kMicrosecond);

void BM_ClickPixel(benchmark::State& state)
{
    Editor editor;
    auto* pixel = editor.control<PixelButton>("cmdPixel(27)");
    for (auto _ : state) {
        QTest::mouseClick(pixel, Qt::LeftButton);
        finishDrawing();
    }
}
BENCHMARK(BM_ClickPixel)->Unit(benchmark::kMicrosecond);

// The person picks height 32, then 8 again: two interactions per iteration.
void BM_ChangeHeight8To32To8(benchmark::State& state)
{
    Editor editor;
    auto* heights = editor.control<ComboBox>("cboZeichenhoehe");
    const auto pick = [heights](int index) {
        heights->setCurrentIndex(index);
        emit heights->activated(index);
        finishDrawing();
    };
    for (auto _ : state) {
        pick(31);
        pick(7);
    }
}
BENCHMARK(BM_ChangeHeight8To32To8)->Unit(benchmark::kMicrosecond);

void BM_OpenOverview(benchmark::State& state)
{
    Editor editor;
    editor.window->fontStore().charHeight = 32;
    for (auto _ : state) {
        frmPreview overview(editor.window->fontStore(), *editor.dialogs, editor.window.get());
        showAndPaint(overview);
    }
}
BENCHMARK(BM_OpenOverview)->Unit(benchmark::kMillisecond);

// The overview's drawing of all 256 glyphs of 32 rows, alone.
void BM_OverviewFullPaint(benchmark::State& state)
{
    Editor editor;
    editor.window->fontStore().charHeight = 32;
    frmPreview overview(editor.window->fontStore(), *editor.dialogs, editor.window.get());
    showAndPaint(overview);
    auto* glyphs = overview.findChild<PictureBox*>(QStringLiteral("pctTotalPreview"));
    for (auto _ : state)
        glyphs->repaint();
}
BENCHMARK(BM_OverviewFullPaint)->Unit(benchmark::kMicrosecond);

void BM_LoadFont8192Bytes(benchmark::State& state)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("font.fnt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(8192, '\x5A')) != 8192)
        state.SkipWithError("cannot write the font file");
    file.close();

    Editor editor;
    auto* load = editor.control<QAbstractButton>("cmdLoad");
    for (auto _ : state) {
        editor.dialogs->fileAnswers.push_back(path);
        load->click();
        finishDrawing();
    }
}
BENCHMARK(BM_LoadFont8192Bytes)->Unit(benchmark::kMicrosecond);

void BM_SaveFont(benchmark::State& state)
{
    // Beside the benchmark, on a disk: a temporary folder may be in memory
    // (tmpfs), where the syncs a save waits for cost nothing.
    QTemporaryDir folder(QCoreApplication::applicationDirPath() + QStringLiteral("/save-XXXXXX"));
    const QString path = folder.filePath(QStringLiteral("font.fnt"));
    Editor editor;
    auto* save = editor.control<QAbstractButton>("cmdSave");
    for (auto _ : state) {
        editor.dialogs->fileAnswers.push_back(path);
        save->click();
        finishDrawing();
    }
}
BENCHMARK(BM_SaveFont)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
