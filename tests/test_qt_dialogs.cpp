// Qt's own file dialog as the editor sets it up: which files each filter entry
// shows, and what the person's confirm or cancel returns.

#include "qt_user_dialogs.h"

#include "glyphora_test_main.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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

}  // namespace

class TestQtDialogs : public QObject
{
    Q_OBJECT

private slots:
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
};

GLYPHORA_TEST_MAIN(TestQtDialogs)
#include "test_qt_dialogs.moc"
