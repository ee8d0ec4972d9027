// Thousands of random actions on the real editor window, made as a person
// makes them, each followed by a comparison with a small model of what the
// font, the grid, the flag and the files on disk must then be. The model is
// kept from the editor's rules alone and calls none of its code.
//
// A failure names the seed and lists the actions that led to it. To replay
// one seed, set GLYPHORA_RANDOM_SEED (and GLYPHORA_RANDOM_ACTIONS for the
// number of actions).

#include "combo_box.h"
#include "editor_under_test.h"
#include "glyphora_test_main.h"
#include "pixel_button.h"
#include "slider.h"
#include "test_files.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <array>
#include <cstdio>
#include <optional>
#include <random>

using Answer = UserDialogs::Answer;
using FileKind = ScriptedDialogs::FileDialog::Kind;

namespace {

constexpr int codes = 256;
constexpr int rows = 32;
constexpr int defaultActions = 1500;
const std::array<quint32, 3> defaultSeeds = {11, 2024, 90001};

// What the font, the grid and the folder must hold after each action.
struct Model
{
    std::array<std::uint8_t, codes * rows> glyphs{};
    int height = 8;
    int code = 65;
    // The grid as the person sees it, one row byte per row (bit 7 the leftmost
    // button), hidden rows included; the character whose rows each grid row
    // showed last, and for a hidden row whether another character has been
    // shown since it was hidden.
    std::array<std::uint8_t, rows> grid{};
    std::array<int, rows> rowCode{};
    std::array<bool, rows> rowOutdated{};
    bool modified = false;
    QString fileName;
    int baseline = 0;  // marked row counted from 1; 0 for none
    int guideLine = 0;
    QMap<QString, QByteArray> files;

    Model()
    {
        rowCode.fill(-1);
        show(65);
    }

    std::uint8_t& glyph(int glyphCode, int row) { return glyphs[glyphCode * rows + row]; }

    void paintRow(int row)
    {
        grid[row] = glyph(code, row);
        rowCode[row] = code;
        rowOutdated[row] = false;
    }

    // Showing a character paints the visible rows from its glyph; hidden rows
    // keep their colours.
    void show(int newCode)
    {
        for (int row = height; row < rows; ++row)
            rowOutdated[row] = rowOutdated[row] || rowCode[row] != newCode;
        code = newCode;
        for (int row = 0; row < height; ++row)
            paintRow(row);
    }

    void store()
    {
        for (int row = 0; row < height; ++row)
            glyph(code, row) = grid[row];
    }

    // A choice of the person: the visible rows go into the character being left.
    void select(int newCode)
    {
        store();
        show(newCode);
    }

    // Rows that become visible come back as they were, unless another
    // character was shown while they were hidden: then they show the current
    // character's own rows. Nothing is stored.
    void pickHeight(int newHeight)
    {
        for (int row = height; row < newHeight; ++row)
            if (rowOutdated[row])
                paintRow(row);
        height = newHeight;
        modified = true;
    }

    QByteArray packed()
    {
        QByteArray bytes;
        for (int glyphCode = 0; glyphCode < codes; ++glyphCode)
            for (int row = 0; row < height; ++row)
                bytes.append(char(glyph(glyphCode, row)));
        return bytes;
    }

    // A valid font file: its height, its rows, every other row cleared, and
    // "A" shown after code 0.
    void load(const QString& path, const QByteArray& bytes)
    {
        height = int(bytes.size() / codes);
        for (int glyphCode = 0; glyphCode < codes; ++glyphCode)
            for (int row = 0; row < rows; ++row)
                glyph(glyphCode, row) = row < height ? std::uint8_t(bytes[glyphCode * height + row]) : 0;
        show(0);
        show(65);
        modified = false;
        fileName = path;
    }
};

// One editor window driven at random, and the model it must match.
class Session
{
public:
    explicit Session(quint32 seed)
        : random(seed)
        , slider(editor.control<Slider>(QStringLiteral("sldSelectCharacter")))
        , heights(editor.control<ComboBox>(QStringLiteral("cboZeichenhoehe")))
        , fileDialogs(editor.dialogs().fileDialogs.size())
        , messageBoxes(editor.dialogs().messageBoxes.size())
    {
    }

    bool ready() const { return folder.isValid(); }
    const QStringList& actions() const { return log; }

    void act()
    {
        nameBefore = model.fileName;
        const int kind = pick(100);
        if (kind < 35)
            clickPixel();
        else if (kind < 57)
            moveSlider();
        else if (kind < 67)
            pickHeight();
        else if (kind < 74)
            pickMarkerOrWidth();
        else if (kind < 80)
            openOverview();
        else if (kind < 87)
            save();
        else if (kind < 98)
            load();
        else
            tryToQuit();
    }

    // Empty when the editor matches the model; otherwise what differs.
    QString difference();

private:
    int pick(int count) { return int(random() % std::uint32_t(count)); }
    bool chance(int percent) { return pick(100) < percent; }
    void note(const QString& action) { log << QStringLiteral("%1: %2").arg(log.size() + 1).arg(action); }
    QString path(const QString& name) const { return folder.filePath(name); }

    // A click of the person lands on whatever lies at that point of the window.
    void clickAt(QWidget* target, QPoint at)
    {
        QTest::mouseClick(editor.window().windowHandle(), Qt::LeftButton, {}, target->mapTo(&editor.window(), at));
    }
    void clickCommand(const char* name)
    {
        clickAt(editor.control<QPushButton>(QString::fromLatin1(name)), QPoint(20, 10));
    }

    void clickPixel();
    void moveSlider();
    std::optional<int> pickEntry(ComboBox* list, int entry, QString& how);
    void pickHeight();
    void pickMarkerOrWidth();
    void openOverview();
    bool answerSaveDialog(QString& how);
    void save();
    void writeFile(const QString& name, const QByteArray& bytes);
    void load();
    void tryToQuit();

    EditorUnderTest editor;
    QTemporaryDir folder;
    Model model;
    std::mt19937 random;
    QStringList log;
    Slider* slider;
    ComboBox* heights;
    // The dialogs asked so far as the model expects them, and what went wrong
    // that the editor's state does not show.
    std::size_t fileDialogs;
    std::size_t messageBoxes;
    std::size_t checkedDialogs = 0;
    QString nameBefore;
    QString problem;
};

// A click in the middle of a pixel button, or where the button of a hidden
// row would be, which hits no button.
void Session::clickPixel()
{
    const bool hidden = model.height < rows && chance(10);
    const int row = hidden ? model.height + pick(rows - model.height) : pick(model.height);
    const int column = pick(8);
    PixelButton* button = editor.pixel(8 * row + column);
    clickAt(button, button->rect().center());
    if (!hidden) {
        model.grid[row] ^= std::uint8_t(0x80 >> column);
        model.modified = true;
    }
    note(QStringLiteral("click %1pixel row %2, column %3").arg(hidden ? "where the hidden " : "").arg(row).arg(column));
}

// The person moves the slider by a click beside the handle, by dragging it,
// by the wheel or by keys. The least code is at the top.
void Session::moveSlider()
{
    const int from = model.code;
    int to = from;
    QString how;
    const int way = pick(100);
    const QRect handle = sliderPart(slider, QStyle::SC_SliderHandle);
    const QRect groove = sliderPart(slider, QStyle::SC_SliderGroove);
    const bool roomAbove = handle.top() - groove.top() > 20;
    const bool roomBelow = groove.bottom() - handle.bottom() > 20;
    const bool pageClicks = !(slider->style()->styleHint(QStyle::SH_Slider_AbsoluteSetButtons) & Qt::LeftButton);
    if (way < 15 && pageClicks && (roomAbove || roomBelow)) {
        const bool above = roomAbove && (!roomBelow || chance(50));
        const int y = above ? groove.top() + 5 : groove.bottom() - 5;
        QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(handle.center().x(), y));
        to = std::clamp(from + (above ? -16 : 16), 0, 255);
        how = QStringLiteral("click the slider %1 the handle").arg(above ? "above" : "below");
    } else if (way < 30) {
        // Grip the handle in its middle and move it so that its top lies where a random code's does.
        const QStyleOptionSlider option = sliderOption(slider);
        const int span = groove.bottom() + 1 - handle.height() - groove.top();
        const int top = groove.top() + QStyle::sliderPositionFromValue(0, 255, pick(256), span, option.upsideDown);
        const QPoint press = handle.center();
        const QPoint release(press.x(), top + press.y() - handle.top());
        QTest::mousePress(slider, Qt::LeftButton, {}, press);
        QMouseEvent move(QEvent::MouseMove, release, slider->mapToGlobal(release), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(slider, &move);
        QTest::mouseRelease(slider, Qt::LeftButton, {}, release);
        to = QStyle::sliderValueFromPosition(0, 255, top - groove.top(), span, option.upsideDown);
        how = QStringLiteral("drag the slider handle by %1 pixels").arg(top - handle.top());
    } else if (way < 45) {
        const bool up = chance(50);
        turnWheel(slider, up ? 120 : -120);
        const int steps = std::min(QApplication::wheelScrollLines(), 16);
        to = std::clamp(from + (up ? -steps : steps), 0, 255);
        how = QStringLiteral("turn the wheel %1 on the slider").arg(up ? "up" : "down");
    } else {
        const std::array<Qt::Key, 6> keys = {Qt::Key_Up,       Qt::Key_Down, Qt::Key_PageUp,
                                             Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
        const std::array<const char*, 6> names = {"Up", "Down", "PageUp", "PageDown", "Home", "End"};
        const std::array<int, 6> targets = {from - 1, from + 1, from - 16, from + 16, 0, 255};
        const int key = pick(6);
        QTest::keyClick(slider, keys[key]);
        to = std::clamp(targets[key], 0, 255);
        how = QStringLiteral("press %1 on the slider").arg(names[key]);
    }
    // A move that leaves the value as it was is no choice.
    if (to != from)
        model.select(to);
    note(QStringLiteral("%1 (code %2 to %3)").arg(how).arg(from).arg(to));
}

// The person picks an entry: from the opened list by keys (also the entry
// already selected), or on the closed list by a key or the wheel, which move
// the selection by one or to an end. Returns the entry picked, or nothing when
// the selection did not move.
std::optional<int> Session::pickEntry(ComboBox* list, int entry, QString& how)
{
    const int current = list->currentIndex();
    const int last = list->count() - 1;
    const int way = pick(100);
    if (way < 50) {
        QTest::mouseClick(list, Qt::LeftButton);
        QAbstractItemView* view = list->view();
        if (!view->isVisible()) {
            problem = QStringLiteral("the list of %1 did not open").arg(list->objectName());
            return std::nullopt;
        }
        for (int step = current; step != entry; step += entry > current ? 1 : -1)
            QTest::keyClick(view, entry > current ? Qt::Key_Down : Qt::Key_Up);
        QTest::keyClick(view, Qt::Key_Return);
        how = QStringLiteral("pick \"%1\" from the opened list %2").arg(list->itemText(entry), list->objectName());
        return entry;
    }
    int target = current;
    if (way < 65) {
        const bool up = chance(50);
        turnWheel(list, up ? 120 : -120);
        target = std::clamp(current + (up ? -1 : 1), 0, last);
        how = QStringLiteral("turn the wheel %1 on %2").arg(up ? "up" : "down", list->objectName());
    } else {
        const std::array<Qt::Key, 4> keys = {Qt::Key_Up, Qt::Key_Down, Qt::Key_Home, Qt::Key_End};
        const std::array<const char*, 4> names = {"Up", "Down", "Home", "End"};
        const std::array<int, 4> targets = {std::max(current - 1, 0), std::min(current + 1, last), 0, last};
        const int key = pick(4);
        QTest::keyClick(list, keys[key]);
        target = targets[key];
        how = QStringLiteral("press %1 on %2").arg(names[key], list->objectName());
    }
    how += QStringLiteral(" (\"%1\" to \"%2\")").arg(list->itemText(current), list->itemText(target));
    return target != current ? std::optional<int>(target) : std::nullopt;
}

void Session::pickHeight()
{
    QString how;
    if (const std::optional<int> picked = pickEntry(heights, chance(15) ? model.height - 1 : pick(32), how))
        model.pickHeight(*picked + 1);
    note(how);
}

// A marker on a row beyond the height is not placed; nothing here is part of
// the font.
void Session::pickMarkerOrWidth()
{
    QString how;
    const int which = pick(7);
    if (which == 0) {
        pickEntry(editor.control<ComboBox>(QStringLiteral("cboZeichenbreite")), 0, how);
    } else {
        int& marker = which <= 3 ? model.baseline : model.guideLine;
        auto* list = editor.control<ComboBox>(QString::fromLatin1(which <= 3 ? "cboBasislinie" : "cboHilfslinie"));
        if (const std::optional<int> picked = pickEntry(list, chance(20) ? 0 : 1 + pick(32), how))
            marker = *picked <= model.height ? *picked : 0;
    }
    note(how);
}

// Opens the overview, checks the file name it shows and closes it again.
void Session::openOverview()
{
    const bool byOk = chance(50);
    const QString expected = model.fileName.isEmpty() ? QString()
                                                      : model.fileName + (model.modified ? "(modified)" : "");
    QTimer::singleShot(0, &editor.window(), [this, byOk, expected] {
        auto* overview = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!overview) {
            problem = QStringLiteral("the overview did not open as a modal window");
            return;
        }
        auto* label = overview->findChild<QLabel*>(QStringLiteral("lblFileName"));
        if (!label || label->text() != expected)
            problem = QStringLiteral("the overview shows the file name \"%1\", expected \"%2\"")
                          .arg(label ? label->text() : QString(), expected);
        auto* ok = overview->findChild<QPushButton*>(QStringLiteral("OKButton"));
        if (ok && byOk)
            QTest::mouseClick(ok, Qt::LeftButton);
        else
            overview->close();
    });
    clickCommand("cmdPreview");
    model.store();
    note(QStringLiteral("open the overview and close it by %1").arg(byOk ? "OK" : "its close box"));
}

// Queues the answer to the save dialog of a save about to be asked for; every
// save stores the grid first. Returns whether the file will be written.
bool Session::answerSaveDialog(QString& how)
{
    model.store();
    ++fileDialogs;
    const int answer = pick(100);
    if (answer < 15) {
        editor.dialogs().fileAnswers.push_back(std::nullopt);
        how += QStringLiteral("cancel the save dialog");
        return false;
    }
    if (answer < 30) {
        editor.dialogs().fileAnswers.push_back(path(QStringLiteral("no-such-folder/font.fnt")));
        ++messageBoxes;
        how += QStringLiteral("save into a missing folder (fails)");
        return false;
    }
    const std::array<const char*, 3> names = {"a.fnt", "b.fnt", "C.FNT"};
    const bool suggested = !model.fileName.isEmpty() && answer < 50;
    const QString target = suggested ? model.fileName : path(QString::fromLatin1(names[pick(3)]));
    editor.dialogs().fileAnswers.push_back(target);
    model.files[QFileInfo(target).fileName()] = model.packed();
    model.modified = false;
    how += QStringLiteral("save as %1%2").arg(QFileInfo(target).fileName(), suggested ? " (the suggested name)" : "");
    return true;
}

void Session::save()
{
    QString how = QStringLiteral("Speichern: ");
    answerSaveDialog(how);
    clickCommand("cmdSave");
    note(how);
}

void Session::writeFile(const QString& name, const QByteArray& bytes)
{
    if (!::writeFile(path(name), bytes))
        problem = QStringLiteral("the test could not write %1").arg(name);
    model.files[name] = bytes;
}

// The file to open is chosen, and written when the test makes it, before the
// person clicks; a save asked for by the load question may still replace it.
void Session::load()
{
    QString how = QStringLiteral("Laden: ");
    QString name;  // none for a cancelled open dialog
    bool valid = false;
    const int choice = pick(100);
    if (choice < 20) {
        how += QStringLiteral("(to cancel the open dialog) ");
    } else if (choice < 40) {
        const std::array<int, 8> lengths = {0, 1, 255, 257, 2047, 2049, 8193, 8448};
        const int length = lengths[pick(8)];
        name = QStringLiteral("wrong.fnt");
        writeFile(name, QByteArray(length, char(0x5A)));
        how += QStringLiteral("write %1 bytes to %2, ").arg(length).arg(name);
    } else {
        valid = true;
        QStringList fonts;
        for (auto file = model.files.cbegin(); file != model.files.cend(); ++file)
            if (!file.value().isEmpty() && file.value().size() % codes == 0 && file.value().size() <= codes * rows)
                fonts << file.key();
        if (!fonts.isEmpty() && chance(50)) {
            name = fonts[pick(int(fonts.size()))];
        } else {
            const int height = 1 + pick(rows);
            QByteArray bytes(codes * height, '\0');
            for (char& byte : bytes)
                byte = char(chance(50) ? 0 : pick(256));
            name = QStringLiteral("valid.fnt");
            writeFile(name, bytes);
            how += QStringLiteral("write a font of height %1 to %2, ").arg(height).arg(name);
        }
    }

    bool goOn = true;
    if (model.modified) {
        ++messageBoxes;
        const int answer = pick(3);
        editor.dialogs().boxAnswers.push_back(answer == 0 ? Answer::Yes : answer == 1 ? Answer::No : Answer::Cancel);
        how += answer == 0 ? "answer Yes, " : answer == 1 ? "answer No, " : "answer Cancel";
        goOn = answer == 1 || (answer == 0 && answerSaveDialog(how));
        if (answer == 0 && goOn)
            how += QStringLiteral(", ");
    }
    if (goOn) {
        ++fileDialogs;
        if (chance(15)) {
            editor.dialogs().fileAnswers.push_back(path(QStringLiteral("missing.fnt")));
            ++messageBoxes;
            ++fileDialogs;
            how += QStringLiteral("choose a missing file, then ");
        }
        if (name.isEmpty()) {
            editor.dialogs().fileAnswers.push_back(std::nullopt);
            how += QStringLiteral("cancel the open dialog");
        } else {
            editor.dialogs().fileAnswers.push_back(path(name));
            how += QStringLiteral("open %1").arg(name);
            if (valid)
                model.load(path(name), model.files[name]);
            else
                ++messageBoxes;
        }
    }
    clickCommand("cmdLoad");
    note(how);
}

// Beenden with unsaved changes, answered so that the editor stays open:
// Cancel, or Yes and a save that writes nothing.
void Session::tryToQuit()
{
    if (!model.modified) {
        clickPixel();
        return;
    }
    ++messageBoxes;
    const int answer = pick(3);
    editor.dialogs().boxAnswers.push_back(answer == 0 ? Answer::Cancel : Answer::Yes);
    if (answer > 0) {
        model.store();
        ++fileDialogs;
    }
    if (answer == 1) {
        editor.dialogs().fileAnswers.push_back(std::nullopt);
    } else if (answer == 2) {
        editor.dialogs().fileAnswers.push_back(path(QStringLiteral("no-such-folder/font.fnt")));
        ++messageBoxes;
    }
    clickCommand("cmdBeenden");
    const std::array<const char*, 3> hows = {"Cancel", "Yes, cancel the save dialog",
                                             "Yes, save into a missing folder (fails)"};
    note(QStringLiteral("Beenden: answer %1").arg(hows[answer]));
}

QString Session::difference()
{
    QStringList found;
    if (!problem.isEmpty())
        found << std::exchange(problem, QString());
    if (!editor.window().isVisible())
        found << QStringLiteral("the editor window has closed");

    const modCode& font = editor.font();
    int wrongBytes = 0;
    for (int index = 0; index < codes * rows; ++index)
        if (font.glyphBuffer[index] != model.glyphs[index] && ++wrongBytes <= 3)
            found << QStringLiteral("glyph %1 row %2 is 0x%3, expected 0x%4").arg(index / rows).arg(index % rows)
                         .arg(font.glyphBuffer[index], 2, 16, QLatin1Char('0'))
                         .arg(model.glyphs[index], 2, 16, QLatin1Char('0'));
    if (wrongBytes > 3)
        found << QStringLiteral("%1 glyph bytes differ in all").arg(wrongBytes);
    if (font.charHeight != model.height || heights->currentIndex() != model.height - 1)
        found << QStringLiteral("height %1 (list \"%2\"), expected %3")
                     .arg(font.charHeight).arg(heights->currentText()).arg(model.height);
    if ((font.isModified() != 0) != model.modified)
        found << QStringLiteral("the modified flag is %1, expected %2").arg(font.isModified() != 0).arg(model.modified);
    if (font.fontFileName != model.fileName)
        found << QStringLiteral("fontFileName \"%1\", expected \"%2\"").arg(font.fontFileName, model.fileName);
    if (slider->value() != model.code)
        found << QStringLiteral("the slider stands at %1, expected %2").arg(slider->value()).arg(model.code);

    for (int row = 0; row < rows; ++row) {
        int shown = 0;
        for (int column = 0; column < 8; ++column) {
            const QColor colour = editor.pixel(8 * row + column)->backColor();
            if (colour == QColor(Qt::black))
                shown |= 0x80 >> column;
            else if (colour != QColor(Qt::white))
                found << QStringLiteral("pixel row %1, column %2 is %3").arg(row).arg(column).arg(colour.name());
        }
        const bool visible = editor.pixel(8 * row)->isVisibleTo(&editor.window());
        if (visible != (row < model.height))
            found << QStringLiteral("grid row %1 is %2").arg(row).arg(visible ? "visible" : "hidden");
        if (shown != model.grid[row])
            found << QStringLiteral("%1 grid row %2 shows 0x%3, expected 0x%4").arg(visible ? "visible" : "hidden")
                         .arg(row).arg(shown, 2, 16, QLatin1Char('0')).arg(model.grid[row], 2, 16, QLatin1Char('0'));
    }

    for (const auto& [listName, shapeName, row] : {std::tuple("cboBasislinie", "shpBasislinie", model.baseline),
                                                   std::tuple("cboHilfslinie", "shpHilfslinie", model.guideLine)}) {
        const auto* list = editor.control<ComboBox>(QString::fromLatin1(listName));
        const auto* shape = editor.control<QWidget>(QString::fromLatin1(shapeName));
        const bool shown = shape->isVisibleTo(&editor.window());
        const bool onItsRow = row == 0 || shape->y() == editor.pixel(8 * (row - 1))->y();
        if (list->currentIndex() != row || shown != (row > 0) || !onItsRow)
            found << QStringLiteral("%1 shows \"%2\", its marker %3 at y %4; expected row %5")
                         .arg(list->objectName(), list->currentText(), shown ? "shown" : "hidden")
                         .arg(shape->y()).arg(row);
    }

    // Exactly the questions expected, all answered; a save dialog offers the
    // file name in force when it was asked, an open dialog none.
    ScriptedDialogs& dialogs = editor.dialogs();
    if (dialogs.fileDialogs.size() != fileDialogs || dialogs.messageBoxes.size() != messageBoxes)
        found << QStringLiteral("%1 file dialogs and %2 message boxes so far, expected %3 and %4")
                     .arg(dialogs.fileDialogs.size()).arg(dialogs.messageBoxes.size())
                     .arg(fileDialogs).arg(messageBoxes);
    if (!dialogs.fileAnswers.empty() || !dialogs.boxAnswers.empty() || !dialogs.unanswered.isEmpty())
        found << QStringLiteral("%1 file and %2 box answers left; unexpected: %3").arg(dialogs.fileAnswers.size())
                     .arg(dialogs.boxAnswers.size()).arg(dialogs.unanswered.join(QStringLiteral(" | ")));
    for (std::size_t index = checkedDialogs; index < dialogs.fileDialogs.size(); ++index) {
        const auto& [kind, request] = dialogs.fileDialogs[index];
        const QString expected = kind == FileKind::Save ? nameBefore : QString();
        if (request.fileName != expected)
            found << QStringLiteral("a file dialog offers \"%1\", expected \"%2\"").arg(request.fileName, expected);
    }
    checkedDialogs = dialogs.fileDialogs.size();
    fileDialogs = dialogs.fileDialogs.size();
    messageBoxes = dialogs.messageBoxes.size();
    dialogs.fileAnswers.clear();
    dialogs.boxAnswers.clear();
    dialogs.unanswered.clear();

    const QDir dir(folder.path());
    QStringList onDisk = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    onDisk.sort(Qt::CaseSensitive);
    if (onDisk != model.files.keys())
        found << QStringLiteral("the folder holds %1, expected %2").arg(onDisk.join(' '), model.files.keys().join(' '));
    for (auto file = model.files.cbegin(); file != model.files.cend(); ++file)
        if (readFile(dir.filePath(file.key())) != file.value())
            found << QStringLiteral("%1 does not hold the expected %2 bytes").arg(file.key()).arg(file.value().size());
    return found.join(QStringLiteral("; "));
}

}  // namespace

class TestRandomEditing : public QObject
{
    Q_OBJECT

private slots:
    void randomActionsKeepFontGridAndFiles_data();
    void randomActionsKeepFontGridAndFiles();
};

void TestRandomEditing::randomActionsKeepFontGridAndFiles_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("actions");

    bool valid = false;
    const int wanted = qEnvironmentVariableIntValue("GLYPHORA_RANDOM_ACTIONS", &valid);
    const int actions = valid && wanted > 0 ? wanted : defaultActions;
    const quint32 seed = qgetenv("GLYPHORA_RANDOM_SEED").toUInt(&valid);
    if (valid) {
        QTest::addRow("seed %u", seed) << seed << actions;
        return;
    }
    for (const quint32 each : defaultSeeds)
        QTest::addRow("seed %u", each) << each << actions;
}

void TestRandomEditing::randomActionsKeepFontGridAndFiles()
{
    QFETCH(quint32, seed);
    QFETCH(int, actions);

    Session session(seed);
    QVERIFY(session.ready());
    for (int action = 0; action <= actions; ++action) {
        if (action > 0)
            session.act();
        const QString difference = session.difference();
        if (difference.isEmpty())
            continue;
        const QString report = QStringLiteral("seed %1, after action %2: %3\n"
                                              "Replay: GLYPHORA_RANDOM_SEED=%1 GLYPHORA_RANDOM_ACTIONS=%2\n"
                                              "Actions:\n%4\n")
                                   .arg(seed).arg(action).arg(difference, session.actions().join(QLatin1Char('\n')));
        std::fputs(qPrintable(report), stderr);
        QFAIL(qPrintable(report));
    }
}

GLYPHORA_TEST_MAIN(TestRandomEditing)
#include "test_random_editing.moc"
