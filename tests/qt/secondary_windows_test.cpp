// The Modify, Find and About windows: their controls, captions, sizes and focus, and their
// life as the program opens, brings forward and discards its windows.

#include "qt/secondary_windows.h"
#include "qt_test_suites.h"
#include "qt_test_support.h"

#include <QAccessible>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace quorvel::test {
namespace {

// Opens a voice and every secondary window the program has.
void open_every_window(Editor& e) {
    e.form.open_path(e.write_voice({}));
    e.form.List1.select(1);
    e.form.List1_DblClick();
    e.form.Find_Click();
    e.form.About_Click();
    e.window.sync();
}

qt::SecondaryWindow* window_named(const Editor& e, const QString& name) {
    for (auto* window : live_windows<qt::SecondaryWindow>(&e.window)) {
        if (window->objectName() == name) {
            return window;
        }
    }
    throw std::runtime_error("no window named " + name.toStdString());
}

} // namespace

class SecondaryWindowsTest : public QObject {
    Q_OBJECT

  private slots:
    void windows_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QStringList>("tab_order");
        QTest::newRow("Form2") << "Modify TTS Expression" << QSize(626, 287)
                               << QStringList{"Current", "new", "Command1", "Command3"};
        QTest::newRow("Find_Form")
            << "Find" << QSize(312, 81) << QStringList{"Text2Find", "Command1", "Command2"};
        QTest::newRow("About_Form")
            << "About Quorvel" << QSize(243, 148) << QStringList{"Command1"};
    }

    void windows() {
        QFETCH(QString, title);
        QFETCH(QSize, client);
        QFETCH(QStringList, tab_order);
        Editor e;
        open_every_window(e);
        auto* window = window_named(e, QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(window->isVisible());
        QVERIFY(!window->isModal());
        QCOMPARE(window->windowTitle(), title);
        QCOMPARE(window->size(), client);
        QCOMPARE(test::tab_order(window), tab_order);
    }

    void controls_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("caption");
        const auto row = [](const char* window, const char* control, QRect geometry,
                            const char* caption) {
            QTest::addRow("%s %s", window, control)
                << QString::fromLatin1(window) << QString::fromLatin1(control) << geometry
                << QString::fromLatin1(caption);
        };
        row("Form2", "N", {24, 40, 105, 17}, "Current:");
        row("Form2", "Current", {24, 64, 577, 19}, "Turn right");
        row("Form2", "Label1", {24, 144, 81, 17}, "New:");
        row("Form2", "new", {24, 168, 577, 19}, "");
        row("Form2", "Command1", {136, 232, 97, 25}, "Cancel");
        row("Form2", "Command3", {352, 232, 97, 25}, "OK");
        row("Find_Form", "Label1", {8, 16, 65, 17}, "Find what:");
        row("Find_Form", "Text2Find", {64, 16, 145, 19}, "");
        row("Find_Form", "Command1", {232, 16, 73, 17}, "Find");
        row("Find_Form", "Command2", {232, 40, 73, 17}, "Cancel");
        row("About_Form", "Label1", {8, 8, 225, 17}, "Garmin Quorvel v2.51");
        row("About_Form", "Label2", {8, 32, 233, 25},
            "Quorvel, a voice file editor by the Quorvel developers");
        row("About_Form", "Label3", {56, 64, 137, 17}, "Find latest version here:");
        row("About_Form", "Label4", {40, 80, 185, 33}, "https://quorvel.example.org/releases");
        row("About_Form", "Command1", {72, 112, 97, 25}, "Close");
    }

    void controls() {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(QRect, geometry);
        QFETCH(QString, caption);
        Editor e;
        open_every_window(e);
        QWidget* widget = child(window_named(e, window), control);
        QCOMPARE(widget->geometry(), geometry);
        QCOMPARE(caption_of(widget), caption);
    }

    void escape_closes_no_window_and_names_are_spoken_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::newRow("Form2 Current") << "Form2"
                                       << "Current"
                                       << "Current";
        QTest::newRow("Form2 new") << "Form2"
                                   << "new"
                                   << "New";
        QTest::newRow("Find_Form Text2Find") << "Find_Form"
                                             << "Text2Find"
                                             << "Find what";
        QTest::newRow("About_Form Command1") << "About_Form"
                                             << "Command1"
                                             << "Close";
    }

    void escape_closes_no_window_and_names_are_spoken() {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(QString, name);
        Editor e;
        open_every_window(e);
        QWidget* widget = child(window_named(e, window), control);
        QCOMPARE(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name), name);
        QTest::keyClick(widget, Qt::Key_Escape);
        QVERIFY(window_named(e, window)->isVisible());
        QVERIFY(e.form.form2() && e.form.find_form() && e.form.about_form());
    }

    void modify_window_shows_current_read_only() {
        Editor e;
        open_every_window(e);
        QVERIFY(child<QLineEdit>(window_named(e, "Form2"), "Current")->isReadOnly());
        QVERIFY(!child<QLineEdit>(window_named(e, "Form2"), "new")->isReadOnly());
    }

    void about_window_is_fixed_and_centred() {
        Editor e;
        e.window.show();
        e.trigger("About");
        auto* about = window_named(e, "About_Form");
        QCOMPARE(about->minimumSize(), QSize(243, 148));
        QCOMPARE(about->maximumSize(), QSize(243, 148));
        QVERIFY(!(about->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(about->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(child<QLabel>(about, "Label1")->font().pointSizeF(), 9.75);
        QCOMPARE(child<QLabel>(about, "Label1")->alignment(), Qt::AlignCenter);
        QCOMPARE(child<QLabel>(about, "Label2")->alignment(), Qt::AlignCenter);
        const QPoint offset = about->frameGeometry().center() - e.window.frameGeometry().center();
        QVERIFY(offset.manhattanLength() <= 2);
    }

    void find_window_is_empty_and_focused_each_opening() {
        Editor e;
        e.form.open_path(e.write_voice({}));
        QVERIFY(e.show_active());
        for (int opening = 0; opening < 2; ++opening) {
            e.trigger("Find");
            auto* find = window_named(e, "Find_Form");
            QTRY_COMPARE(QApplication::activeWindow(), find);
            auto* text = child<QLineEdit>(find, "Text2Find");
            QCOMPARE(text->text(), QString());
            QCOMPARE(QApplication::focusWidget(), text);
            QVERIFY(child<QPushButton>(find, "Command1")->isDefault());
            QTest::keyClicks(text, "left");
            QTest::mouseClick(child<QPushButton>(find, "Command2"), Qt::LeftButton);
            QVERIFY(e.form.find_form() == nullptr);
        }
    }

    void a_window_asked_for_again_comes_forward() {
        Editor e;
        QVERIFY(e.show_active());
        e.trigger("About");
        auto* about = window_named(e, "About_Form");
        QTRY_COMPARE(QApplication::activeWindow(), about);
        QVERIFY(e.show_active());
        QTRY_COMPARE(QApplication::activeWindow(), &e.window);
        e.trigger("About");
        QTRY_COMPARE(QApplication::activeWindow(), about);
        QCOMPARE(window_named(e, "About_Form"), about);
    }

    void a_new_modify_window_replaces_the_old_one() {
        Editor e;
        open_every_window(e);
        const QPointer<qt::SecondaryWindow> first = window_named(e, "Form2");
        const auto first_id = first->id();
        e.form.open_path(e.write_voice({}, "again.vpm")); // opening discards the Modify window
        e.form.List1.select(2);
        e.form.List1_DblClick();
        e.window.sync();
        auto* second = window_named(e, "Form2");
        QVERIFY(first.isNull());
        QVERIFY(second->id() != first_id);
        QCOMPARE(child<QLineEdit>(second, "Current")->text(), QStringLiteral("Arrived"));
        QCOMPARE(live_windows<qt::Form2Window>(&e.window).size(), 1);
    }
};

int run_secondary_windows_tests(int argc, char** argv) {
    SecondaryWindowsTest test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace quorvel::test

#include "secondary_windows_test.moc"
