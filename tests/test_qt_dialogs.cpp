// Qt's own dialogs as the editor sets them up: which files each filter entry
// of the file dialog shows, what the person's confirm or cancel returns, what
// becomes of a typed name of a missing file, and the message boxes with their
// buttons, icons, answers and place.

#include "qt_user_dialogs.h"

#include "frmmain.h"
#include "glyphora_test_main.h"
#include "modcode.h"
#include "test_files.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFileDialog>
#include <QScopeGuard>
#include <QFileInfo>
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

    // Whether every window planned for has opened and been answered.
    bool tookEveryStep() const { return steps.empty(); }

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

// The names the file dialog lists in the folder it shows, sorted.
QStringList listedNames(QFileDialog& dialog)
{
    auto* view = dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"));
    const QAbstractItemModel* shown = view->model();
    QStringList names;
    for (int row = 0; row < shown->rowCount(view->rootIndex()); ++row)
        names << shown->index(row, 0, view->rootIndex()).data().toString();
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

// Reads the message box, then answers it with `press`: the caption of a
// button, "Escape", "Enter" or "close box".
Person::Step answerBox(BoxSeen& seen, const QString& press)
{
    return [&seen, press](QWidget& window) {
        auto* box = qobject_cast<QMessageBox*>(&window);
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
    };
}

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
        for (const char* name : {"lower.fnt", "UPPER.FNT", "Mixed.Fnt", "notes.txt", "noextension"})
            QVERIFY(writeFile(folder.filePath(QString::fromLatin1(name)), QByteArray()));

        QStringList entries;
        const Person person({[&](QWidget& window) {
            auto& dialog = static_cast<QFileDialog&>(window);
            const auto cancel = qScopeGuard([&] { dialog.reject(); });
            entries = dialog.nameFilters();
            dialog.setDirectory(folder.path());
            // The dialog reads the folder in the background.
            dialog.selectNameFilter(entries.value(0));
            QTRY_COMPARE(listedNames(dialog), QStringList({"Mixed.Fnt", "UPPER.FNT", "lower.fnt"}));
            dialog.selectNameFilter(entries.value(1));
            QTRY_COMPARE(listedNames(dialog),
                         QStringList({"Mixed.Fnt", "UPPER.FNT", "lower.fnt", "noextension", "notes.txt"}));
        }});
        QtUserDialogs dialogs(nullptr);
        QCOMPARE(dialogs.showOpen({QStringLiteral("Laden"), fontFilter, QString()}), std::nullopt);

        QCOMPARE(entries.size(), 2);
    }

    void titleAndPresetNameAreShownAndConfirmReturnsThePath()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("font.fnt"));
        QString title;
        const Person person({[&](QWidget& dialog) {
            title = dialog.windowTitle();
            QMetaObject::invokeMethod(&dialog, "accept");
        }});
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
        const Person person({answerBox(seen, QStringLiteral("OK"))});
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

    // After a load, the save dialog is preset with the loaded file; the person
    // selects the name, types a full path, waits a moment and presses Return.
    // That saves, every time, whether the path is the loaded file's own (then
    // confirmed as a replacement) or a new one.
    void typedPathAndReturnSaveAfterALoad()
    {
        QTemporaryDir folder;
        const QString loaded = folder.filePath(QStringLiteral("geladen.fnt"));
        QVERIFY(writeFile(loaded, QByteArray(2048, '\1')));
        const auto typePath = [](const QString& path) -> Person::Step {
            return [path](QWidget& dialog) {
                auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                dialog.activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(&dialog));
                name->setFocus();
                name->selectAll();
                QTest::keyClicks(name, path);
                // As a person waits: the dialog lists the folder meanwhile.
                auto* listing = dialog.findChild<QFileSystemModel*>();
                QTRY_VERIFY(listing->rowCount(listing->index(QFileInfo(path).absolutePath())) > 0);
                QTest::keyClick(name, Qt::Key_Return);
                if (dialog.isVisible())
                    qobject_cast<QDialog*>(&dialog)->reject();  // Return was not taken
            };
        };
        const Person::Step replace = [](QWidget& box) { qobject_cast<QMessageBox*>(&box)->button(QMessageBox::Yes)->click(); };

        modCode font;
        QtUserDialogs dialogs(nullptr);
        {
            const Person person({typePath(loaded)});
            QCOMPARE(font.loadFontFile(dialogs), std::int16_t(8));
        }
        for (int run = 0; run < 10; ++run) {
            const QString target = run % 2 ? loaded : folder.filePath(QStringLiteral("neu %1.fnt").arg(run));
            const Person person(run % 2 ? std::deque{typePath(target), replace} : std::deque{typePath(target)});
            QVERIFY2(font.saveFontFile(dialogs), qPrintable(QStringLiteral("run %1").arg(run)));
            QVERIFY(person.tookEveryStep());  // the loaded file is replaced only when confirmed
            QCOMPARE(QFileInfo(target).size(), 2048);
        }
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
    const Person person({answerBox(seen, press)});
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
