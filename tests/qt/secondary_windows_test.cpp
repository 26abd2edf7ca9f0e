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
    void windows_are_built_from_their_tables() {
        Editor e;
        open_every_window(e);
        const auto check = [&e](const auto& table) {
            auto* window = window_named(e, QString::fromLatin1(table.name));
            QVERIFY(window->isVisible());
            QVERIFY(!window->isModal());
            QCOMPARE(window->windowTitle(), QString::fromLatin1(table.caption));
            QCOMPARE(window->size(), QSize(table.client.width, table.client.height));
            compare_with_table(window, table);
        };
        check(ui::form2_window);
        check(ui::find_window);
        check(ui::about_window);
    }

    void escape_closes_no_window() {
        Editor e;
        open_every_window(e);
        const auto press_escape = [&e](const auto& table) {
            auto* window = window_named(e, QString::fromLatin1(table.name));
            for (const auto& row : table.controls) {
                if (row.takes_focus()) {
                    QTest::keyClick(child(window, QString::fromLatin1(row.name)), Qt::Key_Escape);
                }
            }
            QVERIFY(window_named(e, QString::fromLatin1(table.name))->isVisible());
        };
        press_escape(ui::form2_window);
        press_escape(ui::find_window);
        press_escape(ui::about_window);
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
        const QSize client(ui::about_window.client.width, ui::about_window.client.height);
        QCOMPARE(about->minimumSize(), client);
        QCOMPARE(about->maximumSize(), client);
        QVERIFY(!(about->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(about->windowFlags() & Qt::WindowMaximizeButtonHint));
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
        e.form.open_path(e.write_voice({}, "again.vpm")); // opening discards the Modify window
        e.form.List1.select(2);
        e.form.List1_DblClick();
        e.window.sync();
        auto* second = window_named(e, "Form2");
        QVERIFY(first.isNull());
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
