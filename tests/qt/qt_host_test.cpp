// The Qt Host: real message boxes and file dialogs, answered from inside their event loops.

#include "qt/qt_host.h"
#include "qt/secondary_windows.h"
#include "qt_test_suites.h"
#include "qt_test_support.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <algorithm>

namespace quorvel::test {
namespace {

// Puts the process's current folder back where a test found it.
class CurrentFolderGuard {
  public:
    CurrentFolderGuard() : folder_(QDir::currentPath()) {}
    CurrentFolderGuard(const CurrentFolderGuard&) = delete;
    CurrentFolderGuard& operator=(const CurrentFolderGuard&) = delete;
    ~CurrentFolderGuard() { QDir::setCurrent(folder_); }

  private:
    QString folder_;
};

struct SeenBox {
    int syncs = -1;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::Information;
    Qt::TextFormat format = Qt::RichText;
    QMessageBox::StandardButtons buttons;
    bool modal = false;
    const QWidget* parent = nullptr;
};

struct SeenDialog {
    QString title;
    QStringList filters;
    QString folder;
    QFileDialog::FileMode mode = QFileDialog::ExistingFile;
    QFileDialog::AcceptMode accept_mode = QFileDialog::AcceptOpen;
    bool confirms_overwrite = false;
    bool qt_dialog = false;
    QString suffix;
};

SeenDialog seen(const QFileDialog* dialog) {
    return {dialog->windowTitle(),
            dialog->nameFilters(),
            dialog->directory().absolutePath(),
            dialog->fileMode(),
            dialog->acceptMode(),
            !dialog->testOption(QFileDialog::DontConfirmOverwrite),
            dialog->testOption(QFileDialog::DontUseNativeDialog),
            dialog->defaultSuffix()};
}

// Picks `path` in Qt's file dialog and presses Open or Save. The dialog leaves its file-name
// box alone while that box has the keyboard, and the box takes it once the dialog is active:
// the focus goes first, so the name lands whenever the answer comes.
void choose(QFileDialog* dialog, const QString& path) {
    if (QWidget* focused = QApplication::focusWidget()) {
        focused->clearFocus();
    }
    dialog->selectFile(path);
    static_cast<QDialog*>(dialog)->accept();
}

} // namespace

class QtHostTest : public QObject {
    Q_OBJECT

  private slots:
    void name_filter_data() {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("filter");
        QTest::newRow("voice") << "Garmin VPM (*.vpm)"
                               << "*.vpm"
                               << "Garmin VPM (*.vpm)";
        QTest::newRow("text") << "Text TXT (*.txt)"
                              << "*.txt"
                              << "Text TXT (*.txt)";
        QTest::newRow("bare description") << "Text TXT"
                                          << "*.txt"
                                          << "Text TXT (*.txt)";
    }

    void name_filter() {
        QFETCH(QString, description);
        QFETCH(QString, pattern);
        QFETCH(QString, filter);
        QCOMPARE(qt::name_filter(description.toStdString(), pattern.toStdString()), filter);
    }

    void message_box_shows_the_text_with_ok_only() {
        QWidget parent;
        int syncs = 0;
        qt::QtHost host;
        host.attach(&parent, [&syncs] { ++syncs; });
        SeenBox shown;
        answer_modal<QMessageBox>([&](QMessageBox* box) {
            shown = {syncs,          box->windowTitle(), box->text(),
                     box->icon(),    box->textFormat(),  box->standardButtons(),
                     box->isModal(), box->parentWidget()};
            box->button(QMessageBox::Ok)->click();
        });
        host.message_box("Caf\xE9 <b>\r\nsecond line");
        QCOMPARE(shown.syncs, 1);
        QCOMPARE(shown.title, QStringLiteral("Quorvel"));
        QCOMPARE(shown.text, QStringLiteral("Caf\u00e9 <b>\nsecond line"));
        QCOMPARE(shown.icon, QMessageBox::NoIcon);
        QCOMPARE(shown.format, Qt::PlainText);
        QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(shown.modal);
        QCOMPARE(shown.parent, &parent);
    }

    void file_dialogs_data() {
        QTest::addColumn<bool>("save");
        QTest::addColumn<uint>("flags");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("spaces"); // typed after the name
        QTest::newRow("open a voice") << false << uint(ui::hide_read_only) << "Garmin VPM (*.vpm)"
                                      << "*.vpm"
                                      << "";
        QTest::newRow("save a voice")
            << true << uint(ui::overwrite_prompt | ui::hide_read_only) << "Garmin VPM (*.vpm)"
            << "*.vpm"
            << "";
        QTest::newRow("export text")
            << true << uint(ui::overwrite_prompt | ui::hide_read_only) << "Text TXT (*.txt)"
            << "*.txt"
            << "";
        QTest::newRow("save without a prompt") << true << 0u << "Text TXT (*.txt)"
                                               << "*.txt"
                                               << "";
        QTest::newRow("import a name ending in spaces")
            << false << uint(ui::hide_read_only) << "Text TXT (*.txt)"
            << "*.txt"
            << "   ";
    }

    void file_dialogs() {
        QFETCH(bool, save);
        QFETCH(uint, flags);
        QFETCH(QString, description);
        QFETCH(QString, pattern);
        QFETCH(QString, spaces);
        const CurrentFolderGuard guard;
        QTemporaryDir start;
        QTemporaryDir elsewhere;
        // A name that does not exist yet: neither dialog insists on an existing file.
        const QString chosen = elsewhere.filePath(QStringLiteral("chosen"));
        int syncs = 0;
        qt::QtHost host;
        host.attach(nullptr, [&syncs] { ++syncs; });
        SeenDialog shown;
        answer_modal<QFileDialog>([&](QFileDialog* dialog) {
            shown = seen(dialog);
            choose(dialog, chosen + spaces);
        });
        const ui::FileDialogRequest request{"A title", description.toStdString(),
                                            pattern.toStdString(), flags,
                                            start.path().toStdString()};
        const std::string answer =
            save ? host.save_file_dialog(request) : host.open_file_dialog(request);

        QCOMPARE(syncs, 1);
        QCOMPARE(shown.title, QStringLiteral("A title"));
        QCOMPARE(shown.filters, QStringList{description});
        QCOMPARE(shown.folder, QDir(start.path()).absolutePath());
        QCOMPARE(shown.mode, QFileDialog::AnyFile);
        QCOMPARE(shown.accept_mode, save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        QCOMPARE(shown.confirms_overwrite, save && (flags & ui::overwrite_prompt) != 0);
        QVERIFY(shown.qt_dialog);
        QCOMPARE(shown.suffix, QString());
        QCOMPARE(QString::fromStdString(answer), chosen);
        QCOMPARE(QDir::currentPath(), QDir(elsewhere.path()).absolutePath());
        // Nothing of the dialog is kept for the next run.
        QVERIFY(QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).isEmpty());
    }

    void cancelled_dialog_gives_nothing() {
        const CurrentFolderGuard guard;
        const QString before = QDir::currentPath();
        qt::QtHost host;
        answer_modal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
        QCOMPARE(host.open_file_dialog({"Open", "Garmin VPM (*.vpm)", "*.vpm", 0, "/"}),
                 std::string());
        QCOMPARE(QDir::currentPath(), before);
    }

    // The program shows its refusal before it clears the window: the box sees the window as
    // the program has it at that moment, the discarded Modify window already gone.
    void windows_are_current_while_a_message_shows() {
        const CurrentFolderGuard guard;
        QTemporaryDir folder;
        const QString junk = folder.filePath(QStringLiteral("junk.vpm"));
        QFile file(junk);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
        file.close();
        const std::string voice = folder.filePath(QStringLiteral("voice.vpm")).toStdString();
        write_file(voice, build_voice({}).image);

        qt::QtHost host;
        ui::Form1 form(host);
        qt::MainWindow window(form);
        host.attach(&window, [&window] { window.sync(); });
        window.show();
        form.open_path(voice);
        form.List1.select(1);
        form.List1_DblClick();
        window.sync();
        QCOMPARE(live_windows<qt::Form2Window>(&window).size(), 1);

        auto* list = window.centralWidget()->findChild<QListWidget*>(QStringLiteral("List1"));
        int strays = 0;
        int items_during = -1;
        bool modify_window_during = true;
        QString message;
        answer_modal<QFileDialog>(
            [&](QFileDialog* dialog) {
                answer_modal<QMessageBox>(
                    [&](QMessageBox* box) {
                        const auto windows = live_windows<qt::Form2Window>(&window);
                        modify_window_during =
                            std::any_of(windows.begin(), windows.end(),
                                        [](QWidget* w) { return w->isVisible(); });
                        items_during = list->count();
                        message = box->text();
                        box->accept();
                    },
                    &strays);
                choose(dialog, junk);
            },
            &strays);
        child<QAction>(&window, "Open")->trigger();

        QCOMPARE(strays, 0);
        QVERIFY(!modify_window_during);
        QCOMPARE(items_during, 3);
        QVERIFY(message.startsWith("Selected file is not a valid Garmin VPM Text To Speech file"));
        QCOMPARE(list->count(), 0);
        QCOMPARE(child<QLabel>(window.centralWidget(), "nuvi_model")->text(),
                 QStringLiteral("not a TTS file"));
    }
};

int run_qt_host_tests(int argc, char** argv) {
    QtHostTest test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace quorvel::test

#include "qt_host_test.moc"
