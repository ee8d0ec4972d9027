// Qt's own dialogs as the editor sets them up: which files each filter entry
// of the file dialog shows, what the person's confirm or cancel returns, what
// becomes of a typed name of a missing file, and the message boxes with their
// buttons, icons, answers and place.

#include "qt_user_dialogs.h"

#include "frmmain.h"
#include "glyphora_test_main.h"
#include "modcode.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>

namespace {

const QString fontFilter = QStringLiteral("Textdateien (*.FNT)|*.fnt|Alle Dateien (*.*)|*.*");

// Runs `inspect` on the file dialog once it is open, then cancels it.
void whileDialogOpen(const std::function<void(QFileDialog&)>& inspect)
{
    QTimer::singleShot(0, [inspect] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        inspect(*dialog);
        dialog->reject();
    });
}

// The names the dialog lists in `folder` with the filter entry `entry` chosen.
QStringList listedNames(QFileDialog& dialog, const QString& folder, const QString& entry)
{
    auto* model = dialog.findChild<QFileSystemModel*>();
    dialog.setDirectory(folder);
    dialog.selectNameFilter(entry);
    QStringList names;
    // The model fills in the background; wait until the folder's files are in.
    if (!QTest::qWaitFor([&] { return model->rowCount(model->index(folder)) > 0; }, 5000))
        return {};
    QTest::qWait(50);
    auto* view = dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"));
    const QAbstractItemModel* shown = view->model();
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < shown->rowCount(root); ++row)
        names << shown->index(row, 0, root).data().toString();
    names.sort();
    return names;
}

// A message box as the person sees it.
struct BoxSeen
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;  // left to right, without their shortcut marks
    QString defaultButton;
    QRect frame;   // where it opened, with its frame as far as it is known
    QRect screen;  // the part of its screen that windows may take
};

QString caption(const QAbstractButton* button)
{
    return button ? button->text().remove(QLatin1Char('&')) : QString();
}

// Reads the message box once it is open, then answers it with `press`: the
// caption of a button, "Escape", "Enter" or "close box".
void answerBoxWhenOpen(BoxSeen& seen, const QString& press)
{
    QTimer::singleShot(0, [&seen, press] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.frame = box->frameGeometry();
        seen.screen = box->screen()->availableGeometry();
        QList<QAbstractButton*> buttons = box->buttons();
        std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
        for (const QAbstractButton* button : buttons) {
            seen.buttons << caption(button);
            if (auto* push = qobject_cast<const QPushButton*>(button); push && push->isDefault())
                seen.defaultButton = caption(button);
        }
        if (press == QLatin1String("Escape"))
            QTest::keyClick(box, Qt::Key_Escape);
        else if (press == QLatin1String("Enter"))
            QTest::keyClick(box, Qt::Key_Return);
        else if (press == QLatin1String("close box"))
            box->close();
        else if (const auto found = std::find_if(buttons.begin(), buttons.end(),
                                                 [&](auto* button) { return caption(button) == press; });
                 found != buttons.end())
            QTest::mouseClick(*found, Qt::LeftButton);
        if (QApplication::activeModalWidget() == box)
            box->done(-1);  // not answered: do not block the run
    });
}

// Plays the person's part in the modal windows that open one after the other:
// the next step answers each window not answered yet. It looks every few
// milliseconds, from inside whichever window is open, and stops when it goes
// out of scope.
class Person : public QObject
{
public:
    using Step = std::function<void(QWidget&)>;

    explicit Person(std::deque<Step> plannedSteps)
        : steps(std::move(plannedSteps))
    {
        startTimer(10);
    }

protected:
    void timerEvent(QTimerEvent*) override
    {
        QWidget* window = QApplication::activeModalWidget();
        if (!window || window == answered || steps.empty())
            return;
        answered = window;
        // Posted, not run here: Qt fires no timer inside its own handler, so
        // a window that the answer opens would otherwise never be met.
        QTimer::singleShot(0, this, [step = steps.front(), window = QPointer<QWidget>(window)] {
            if (window)
                step(*window);
        });
        steps.pop_front();
    }

private:
    std::deque<Step> steps;
    QPointer<QWidget> answered;
};

// "title | text | icon" of a message box, "title: name field" of a file dialog.
QString describe(QWidget& window)
{
    if (auto* box = qobject_cast<QMessageBox*>(&window))
        return box->windowTitle() + QStringLiteral(" | ") + box->text() + QStringLiteral(" | ")
            + QString::number(box->icon());
    return window.windowTitle() + QStringLiteral(": ") + window.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
}

}  // namespace

using Answer = UserDialogs::Answer;
using Buttons = UserDialogs::Buttons;
using Icon = UserDialogs::Icon;
Q_DECLARE_METATYPE(Answer)
Q_DECLARE_METATYPE(Buttons)
Q_DECLARE_METATYPE(Icon)

class TestQtDialogs : public QObject
{
    Q_OBJECT

private slots:
    void messageBoxesAskAndAnswer_data();
    void messageBoxesAskAndAnswer();
    void filterEntriesShowFontsWhateverTheCaseAndAllFiles()
    {
        QTemporaryDir folder;
        for (const char* name : {"lower.fnt", "UPPER.FNT", "Mixed.Fnt", "notes.txt", "noextension"}) {
            QFile file(folder.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }

        QStringList fontEntry;
        QStringList allEntry;
        QStringList entries;
        whileDialogOpen([&](QFileDialog& dialog) {
            entries = dialog.nameFilters();
            fontEntry = listedNames(dialog, folder.path(), entries.value(0));
            allEntry = listedNames(dialog, folder.path(), entries.value(1));
        });
        QtUserDialogs dialogs(nullptr);
        QCOMPARE(dialogs.showOpen({QStringLiteral("Laden"), fontFilter, QString()}), std::nullopt);

        QCOMPARE(entries.size(), 2);
        QCOMPARE(fontEntry, QStringList({"Mixed.Fnt", "UPPER.FNT", "lower.fnt"}));
        QCOMPARE(allEntry, QStringList({"Mixed.Fnt", "UPPER.FNT", "lower.fnt", "noextension", "notes.txt"}));
    }

    void titleAndPresetNameAreShownAndConfirmReturnsThePath()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("font.fnt"));
        QString title;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            title = dialog->windowTitle();
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QtUserDialogs dialogs(nullptr);
        QCOMPARE(dialogs.showSave({QStringLiteral("Speichern"), fontFilter, path}), std::optional<QString>(path));
        QCOMPARE(title, QStringLiteral("Speichern"));
    }

    // The editor reports a missing reference bitmap while it starts, before
    // its window is on the screen; the box opens in the middle of the screen.
    void boxBeforeTheEditorShowsIsCentredOnTheScreen()
    {
        QTemporaryDir folderWithoutBitmap;
        BoxSeen seen;
        answerBoxWhenOpen(seen, QStringLiteral("OK"));
        const frmMain editor(nullptr, folderWithoutBitmap.path());
        QCOMPARE(seen.icon, QMessageBox::Warning);
        QCOMPARE(seen.frame.center(), seen.screen.center());
    }

    // Qt's dialog hands the name of a file that does not exist back to the
    // program, which answers it itself and asks again with an empty name.
    void missingFileIsAnsweredByTheProgram()
    {
        QTemporaryDir folder;
        QStringList seen;
        const Person person({
            [&](QWidget& dialog) {
                seen << describe(dialog);
                qobject_cast<QFileDialog*>(&dialog)->setDirectory(folder.path());
                auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                QTest::keyClicks(name, QStringLiteral("missing.fnt"));
                QTest::keyClick(name, Qt::Key_Return);
            },
            [&](QWidget& box) {
                seen << describe(box);
                qobject_cast<QMessageBox*>(&box)->button(QMessageBox::Ok)->click();
            },
            [&](QWidget& dialog) {
                seen << describe(dialog);
                qobject_cast<QDialog*>(&dialog)->reject();
            },
        });
        modCode font;
        QtUserDialogs dialogs(nullptr);
        QCOMPARE(font.loadFontFile(dialogs), std::int16_t(0));

        const QString missing = folder.filePath(QStringLiteral("missing.fnt"));
        QCOMPARE(seen, QStringList({QStringLiteral("Laden: "),
                                    QStringLiteral("Glyphora | %1 nicht gefunden! | %2").arg(missing).arg(QMessageBox::Warning),
                                    QStringLiteral("Laden: ")}));
    }
};

// Every kind of box the program shows, answered in every way the person can:
// Abbrechen, Escape and the close box must all keep the unsaved font.
void TestQtDialogs::messageBoxesAskAndAnswer_data()
{
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<Icon>("icon");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("press");
    QTest::addColumn<Answer>("answer");

    for (const char* question : {"Beenden", "Laden"}) {
        const std::pair<const char*, Answer> presses[] = {{"Ja", Answer::Yes},        {"Nein", Answer::No},
                                                          {"Abbrechen", Answer::Cancel}, {"Escape", Answer::Cancel},
                                                          {"close box", Answer::Cancel}, {"Enter", Answer::Yes}};
        for (const auto& [press, answer] : presses)
            QTest::addRow("%s question, %s", question, press)
                << Buttons::YesNoCancel << Icon::None << QString::fromUtf8(question) << QString::fromUtf8(press) << answer;
    }
    const std::tuple<const char*, Icon, const char*> notices[] = {
        {"error", Icon::Exclamation, "Glyphora"},
        {"wrong size", Icon::None, "Fehler beim Laden!"},
        {"width", Icon::None, "Glyphora"},
    };
    for (const auto& [notice, icon, title] : notices)
        for (const char* press : {"OK", "Escape", "close box", "Enter"})
            QTest::addRow("%s, %s", notice, press)
                << Buttons::Ok << icon << QString::fromUtf8(title) << QString::fromUtf8(press) << Answer::Ok;
}

void TestQtDialogs::messageBoxesAskAndAnswer()
{
    QFETCH(Buttons, buttons);
    QFETCH(Icon, icon);
    QFETCH(QString, title);
    QFETCH(QString, press);
    QFETCH(Answer, answer);
    const QString prompt = QStringLiteral("Erste Zeile\nZweite Zeile");

    BoxSeen seen;
    answerBoxWhenOpen(seen, press);
    QtUserDialogs dialogs(nullptr);
    QCOMPARE(dialogs.messageBox(prompt, buttons, icon, title), answer);

    QCOMPARE(seen.title, title);
    QCOMPARE(seen.text, prompt);
    QCOMPARE(seen.icon, icon == Icon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon);
    const QStringList captions = buttons == Buttons::Ok ? QStringList{"OK"} : QStringList{"Ja", "Nein", "Abbrechen"};
    QCOMPARE(seen.buttons, captions);
    QCOMPARE(seen.defaultButton, captions.first());
}

GLYPHORA_TEST_MAIN(TestQtDialogs)
#include "test_qt_dialogs.moc"
