// The main window's binding: its controls, menus and start-up state, model changes reaching
// the widgets, and the user's input reaching the program's handlers.

#include "qt/app_icon.h"
#include "qt/main_window.h"
#include "qt/secondary_windows.h"
#include "qt_test_suites.h"
#include "qt_test_support.h"

#include <QAccessible>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

Q_DECLARE_METATYPE(quorvel::test::VoicePlan)

namespace quorvel::test {
namespace {

std::string digits_at(const Editor& editor, std::int32_t pos) {
    const auto& image = editor.form.voice()->image;
    return {image.begin() + pos, image.begin() + pos + 2};
}

void double_click_row(QListWidget* list, int row) {
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

int characters_of(const QString& text) {
    return static_cast<int>(text.toUcs4().size());
}

// Sends text as the keyboard would, characters outside Latin-1 included.
void type_text(QWidget* widget, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void window_and_controls_are_built_from_their_table() {
        Editor e;
        QVERIFY(e.show_active());
        const auto& window = ui::form1_window;
        QCOMPARE(e.window.windowTitle(), QString::fromLatin1(window.caption));
        QCOMPARE(e.window.objectName(), QString::fromLatin1(window.name));
        QCOMPARE(e.window.centralWidget()->size(),
                 qrect({0, 0, window.client.width, window.client.height}).size());
        compare_with_table(e.window.centralWidget(), window);
        QCOMPARE(QApplication::focusWidget(), e.control(window.controls.front().name));
    }

    void window_is_centred_and_resizable_without_moving_controls() {
        Editor e;
        e.window.show();
        const QRect screen = e.window.screen()->availableGeometry();
        // Centred before it shows: the frame it gets then may shift it by its own width.
        QVERIFY((e.window.geometry().center() - screen.center()).manhattanLength() <= 8);
        e.window.resize(900, 700);
        QCOMPARE(e.window.size(), QSize(900, 700));
        compare_with_table(e.window.centralWidget(), ui::form1_window);
    }

    void placement_follows_the_desktop_font_size() {
        const QFont desktop = QApplication::font();
        QFont twice = desktop;
        twice.setPointSizeF(2 * ui::drawn_for_points);
        QApplication::setFont(twice);
        Editor e;
        QApplication::setFont(desktop);
        QVERIFY(e.show_active());
        QCOMPARE(e.window.font().pointSizeF(), 16.5);
        const ui::Size client = ui::scaled(ui::form1_window.client, 2.0);
        QCOMPARE(e.window.centralWidget()->size(), QSize(client.width, client.height));
        compare_with_table(e.window.centralWidget(), ui::form1_window, 2.0);
    }

    void menus_are_built_from_their_table() {
        Editor e;
        QStringList entries; // each menu's entries, as its rows give them
        for (const auto& row : ui::form1_menus) {
            const QString name = QString::fromLatin1(row.name);
            const QString caption =
                QString::fromLatin1(ui::mnemonic_caption(row.caption, row.mnemonic).c_str());
            if (*row.parent != '\0') {
                entries << QString::fromLatin1(row.parent) + "/" + name;
            }
            if (row.menu()) {
                QCOMPARE(child<QMenu>(&e.window, name)->title(), caption);
                continue;
            }
            auto* menu = child<QMenu>(&e.window, QString::fromLatin1(row.parent));
            QAction* action = child<QAction>(&e.window, name);
            QVERIFY(menu->actions().contains(action));
            QCOMPARE(action->isSeparator(), row.separator());
            // The program's entries stand in front of an entry never shown.
            QCOMPARE(action->isVisible(), row.entries == nullptr);
            if (!row.separator() && row.entries == nullptr) {
                // A caption the program gives stands for the row's.
                const std::string shown = row.state && !(e.form.*row.state).caption().empty()
                                              ? (e.form.*row.state).caption()
                                              : row.caption;
                QCOMPARE(
                    action->text(),
                    QString::fromLatin1(ui::mnemonic_caption(shown.c_str(), row.mnemonic).c_str()));
            }
            QCOMPARE(action->shortcut(),
                     QKeySequence(QString::fromStdString(ui::shortcut_text(row.shortcut))));
            if (row.state != nullptr) {
                QCOMPARE(action->isCheckable(), (e.form.*row.state).checkable());
                QCOMPARE(action->isChecked(), (e.form.*row.state).checked());
            }
        }
        QStringList built; // each menu's entries as built, submenus by their names
        for (const auto& row : ui::form1_menus) {
            if (!row.menu()) {
                continue;
            }
            const auto* menu = child<QMenu>(&e.window, QString::fromLatin1(row.name));
            for (const QAction* action : menu->actions()) {
                built << menu->objectName() + "/" +
                             (action->menu() ? action->menu()->objectName() : action->objectName());
            }
        }
        QCOMPARE(built, entries);
    }

    void speech_reports_reach_the_program_on_the_window_thread() {
        Editor e;
        e.open();
        speech::SpeechLanguages languages{{{"de", "German"}, {"en-gb", "English"}}, "de"};
        std::thread engine([&] { e.window.reporter()(speech::SpeechReport{languages, ""}); });
        engine.join();
        QTRY_COMPARE(e.form.Languages.items().size(), std::size_t{2});
        auto* menu = child<QMenu>(&e.window, "Language");
        QAction* english =
            menu->actions().at(menu->actions().indexOf(child<QAction>(&e.window, "Languages")) - 1);
        QCOMPARE(english->text(), QStringLiteral("English"));
        QCOMPARE(child<QAction>(&e.window, "Automatic")->text(),
                 QStringLiteral("&Automatic (English)"));
        english->trigger();
        QCOMPARE(e.form.speech_language(), "en-gb");
        QVERIFY(english->isChecked());
        QVERIFY(!child<QAction>(&e.window, "Automatic")->isChecked());

        e.window.speech_report({std::nullopt, "no sound server."});
        QVERIFY(e.host.messages.empty());
        e.trigger("Speak"); // nothing selected: nothing to say
        e.control<QListWidget>("List1")->setCurrentRow(1);
        e.trigger("Speak");
        QCOMPARE(e.host.messages,
                 std::vector<std::string>{"Speech is not available: no sound server."});
        QVERIFY(!child<QAction>(&e.window, "Speak")->isEnabled());
        QVERIFY(!child<QAction>(&e.window, "Stop")->isEnabled());
    }

    void icon_has_every_size() {
        const QIcon icon = qt::app_icon();
        for (const int size : qt::icon_sizes) {
            QVERIFY(icon.availableSizes().contains(QSize(size, size)));
            QVERIFY(!icon.pixmap(size).toImage().isNull());
        }
    }

    void opening_a_voice_reaches_the_widgets_data() {
        QTest::addColumn<VoicePlan>("voice");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<bool>("rate_enabled");
        QTest::addColumn<int>("rate_maximum");
        QTest::newRow("7x0") << VoicePlan{} << "Nuvi 7x0/3x0 TTS"
                             << " 45" << true << 99;
        QTest::newRow("255W") << plan_255w() << "Nuvi 255W/260 TTS"
                              << " 100" << false << 100;
    }

    void opening_a_voice_reaches_the_widgets() {
        QFETCH(VoicePlan, voice);
        QFETCH(QString, model);
        QFETCH(QString, rate);
        QFETCH(bool, rate_enabled);
        QFETCH(int, rate_maximum);
        Editor e;
        e.open(voice);
        QVERIFY(e.host.messages.empty());

        QCOMPARE(e.control<QLabel>("voice_name")->text(), QStringLiteral("Tom"));
        QCOMPARE(e.control<QLabel>("nuvi_model")->text(), model);
        QCOMPARE(e.control<QLabel>("voice_rate")->text(), rate);
        QCOMPARE(e.control<QLabel>("voice_vol")->text(), QStringLiteral(" 80"));
        auto* screen_name = e.control<QLineEdit>("screen_name");
        QCOMPARE(screen_name->text(), QStringLiteral("Tom's voice"));
        auto* rate_bar = e.control<QScrollBar>("HScroll1");
        QCOMPARE(rate_bar->isEnabled(), rate_enabled);
        QCOMPARE(rate_bar->maximum(), rate_maximum);
        QCOMPARE(rate_bar->value(), e.form.HScroll1.value());
        QCOMPARE(e.control<QScrollBar>("HScroll2")->value(), 80);
        QCOMPARE(e.control<QLabel>("char_left")->text(),
                 QString::number(e.form.voice()->table.bytes_left()));
        for (const char* shown :
             {"voice_rate", "voice_vol", "screen_name", "Label3", "char_left"}) {
            QVERIFY2(!e.control(shown)->isHidden(), shown);
        }
        auto* list = e.control<QListWidget>("List1");
        QStringList entries;
        for (const auto& entry : build_voice(voice).entries) {
            entries << QString::fromStdString(entry);
        }
        QStringList items;
        for (int i = 0; i < list->count(); ++i) {
            items << list->item(i)->text();
        }
        QCOMPARE(items, entries);
    }

    void scroll_bar_arrow_writes_at_once() {
        Editor e;
        e.open();
        e.window.show();
        auto* bar = e.control<QScrollBar>("HScroll1");
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 4, bar->height() / 2));
        QCOMPARE(e.form.HScroll1.value(), 46);
        QCOMPARE(e.control<QLabel>("voice_rate")->text(), QStringLiteral(" 46"));
        QCOMPARE(digits_at(e, *e.form.voice()->settings.rate_pos), "46");
    }

    void dragged_thumb_writes_once_on_release() {
        Editor e;
        e.open();
        auto* bar = e.control<QScrollBar>("HScroll2");
        QSignalSpy changes(bar, &QScrollBar::valueChanged);
        bar->setSliderDown(true);
        bar->setSliderPosition(40);
        bar->setSliderPosition(60);
        QCOMPARE(e.form.HScroll2.value(), 80);
        bar->setSliderDown(false);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(e.form.HScroll2.value(), 60);
        QCOMPARE(e.control<QLabel>("voice_vol")->text(), QStringLiteral(" 60"));
        QCOMPARE(digits_at(e, e.form.voice()->settings.vol_pos), "60");
    }

    void scroll_bar_keys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("value"); // from 45
        QTest::newRow("Right") << int(Qt::Key_Right) << 46;
        QTest::newRow("Left") << int(Qt::Key_Left) << 44;
        QTest::newRow("Up") << int(Qt::Key_Up) << 44;
        QTest::newRow("Down") << int(Qt::Key_Down) << 46;
        QTest::newRow("Page Up") << int(Qt::Key_PageUp) << 35;
        QTest::newRow("Page Down") << int(Qt::Key_PageDown) << 55;
        QTest::newRow("Home") << int(Qt::Key_Home) << 0;
        QTest::newRow("End") << int(Qt::Key_End) << 99;
    }

    void scroll_bar_keys() {
        QFETCH(int, key);
        QFETCH(int, value);
        Editor e;
        e.open();
        QVERIFY(e.show_active());
        auto* bar = e.control<QScrollBar>("HScroll1");
        const QImage unfocused = bar->grab().toImage();
        bar->setFocus();
        QVERIFY(bar->grab().toImage() != unfocused); // a visible focus mark
        QTest::keyClick(bar, Qt::Key(key));
        QCOMPARE(e.form.HScroll1.value(), value);
        QCOMPARE(digits_at(e, *e.form.voice()->settings.rate_pos),
                 QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')).toStdString());
    }

    void return_on_the_list_does_what_the_double_click_does_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<int>("messages");
        QTest::newRow("Return on phrase 2") << 1 << int(Qt::Key_Return) << true << 0;
        QTest::newRow("keypad Enter on phrase 3") << 2 << int(Qt::Key_Enter) << true << 0;
        QTest::newRow("Return on phrase 1") << 0 << int(Qt::Key_Return) << false << 1;
        QTest::newRow("Return without a selection") << -1 << int(Qt::Key_Return) << false << 0;
    }

    void return_on_the_list_does_what_the_double_click_does() {
        QFETCH(int, row);
        QFETCH(int, key);
        QFETCH(bool, opens);
        QFETCH(int, messages);
        Editor e;
        e.open();
        auto* list = e.control<QListWidget>("List1");
        list->setCurrentRow(row);
        const auto modifiers = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        QTest::keyClick(list, Qt::Key(key), modifiers);
        QCOMPARE(live_windows<qt::Form2Window>(&e.window).size(), opens ? 1 : 0);
        QCOMPARE(int(e.host.messages.size()), messages);
    }

    void imported_screen_name_is_shown_whole_and_typing_is_limited() {
        Editor e;
        e.open(); // a field of 20
        auto* edit = e.control<QLineEdit>("screen_name");
        e.form.screen_name.set_text("An imported name longer than 20");
        e.window.sync();
        QCOMPARE(edit->text(), QStringLiteral("An imported name longer than 20"));
        edit->end(false);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(e.form.screen_name.text(), "An imported name longer than 2");
        QTest::keyClicks(edit, "x");
        QCOMPARE(e.form.screen_name.text(), "An imported name longer than 2");

        edit->clear();
        QTest::keyClicks(edit, "0123456789012345678");
        type_text(edit, QStringLiteral("\U0001F600")); // the last character that fits
        QCOMPARE(edit->text(), QStringLiteral("0123456789012345678\U0001F600"));
        QCOMPARE(QString::fromStdString(e.form.screen_name.unencodable().value_or("")),
                 QStringLiteral("\U0001F600"));
        type_text(edit, QStringLiteral("y"));
        QCOMPARE(characters_of(edit->text()), 20);
    }

    void user_selection_reaches_the_list() {
        Editor e;
        e.open();
        e.control<QListWidget>("List1")->setCurrentRow(2);
        QCOMPARE(e.form.List1.selected(), 2);
    }

    void double_click_and_ok_change_the_phrase() {
        Editor e;
        e.open();
        e.window.show();
        auto* list = e.control<QListWidget>("List1");
        QListWidgetItem* first = list->item(0);
        double_click_row(list, 1);
        QVERIFY(e.form.form2() != nullptr);
        auto windows = live_windows<qt::Form2Window>(&e.window);
        QCOMPARE(windows.size(), 1);
        QWidget* form2 = windows.front();
        QVERIFY(form2->isVisible());
        QCOMPARE(child<QLineEdit>(form2, "Current")->text(), QStringLiteral("Turn right"));

        QTest::keyClicks(child<QLineEdit>(form2, "new"), "Go right");
        QCOMPARE(e.form.form2()->new_.text(), "Go right");
        QTest::mouseClick(child<QPushButton>(form2, "Command3"), Qt::LeftButton);

        QCOMPARE(list->item(1)->text(), QStringLiteral(" 2-Go right"));
        QCOMPARE(list->item(0), first); // only the changed item changes
        QCOMPARE(e.control<QLabel>("char_left")->text(),
                 QString::number(e.form.voice()->table.bytes_left()));
        QVERIFY(e.form.form2() == nullptr);
        QVERIFY(live_windows<qt::Form2Window>(&e.window).isEmpty());
    }

    void modify_window_leaves_without_change_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("Cancel button") << 0;
        QTest::newRow("close box") << 1;
    }

    void modify_window_leaves_without_change() {
        QFETCH(int, way);
        Editor e;
        e.open();
        e.window.show();
        double_click_row(e.control<QListWidget>("List1"), 2);
        auto* form2 = live_windows<qt::Form2Window>(&e.window).front();
        QTest::keyClicks(child<QLineEdit>(form2, "new"), "Gone");
        if (way == 0) {
            QTest::mouseClick(child<QPushButton>(form2, "Command1"), Qt::LeftButton);
        } else {
            form2->close();
        }
        QVERIFY(e.form.form2() == nullptr);
        QVERIFY(live_windows<qt::Form2Window>(&e.window).isEmpty());
        QCOMPARE(e.control<QListWidget>("List1")->item(2)->text(), QStringLiteral(" 3-Arrived"));
    }

    void double_click_on_the_first_phrase_is_refused() {
        Editor e;
        e.open();
        e.window.show();
        double_click_row(e.control<QListWidget>("List1"), 0);
        QCOMPARE(e.host.messages,
                 std::vector<std::string>{"Sorry! You can't modify string 1 in this release."});
        QVERIFY(live_windows<qt::Form2Window>(&e.window).isEmpty());
    }

    void find_window_finds_data() {
        QTest::addColumn<bool>("by_enter");
        QTest::newRow("Find button") << false;
        QTest::newRow("Enter key") << true;
    }

    void find_window_finds() {
        QFETCH(bool, by_enter);
        Editor e;
        e.open();
        e.window.show();
        e.trigger("Find");
        auto* find = live_windows<qt::FindWindow>(&e.window).front();
        auto* text = child<QLineEdit>(find, "Text2Find");
        QTest::keyClicks(text, "ARRIVED");
        if (by_enter) {
            QTest::keyClick(text, Qt::Key_Return);
        } else {
            QTest::mouseClick(child<QPushButton>(find, "Command1"), Qt::LeftButton);
        }
        QCOMPARE(e.form.List1.selected(), 2);
        QCOMPARE(e.control<QListWidget>("List1")->currentRow(), 2);
        QVERIFY(live_windows<qt::FindWindow>(&e.window).isEmpty());
    }

    void find_next_shortcut_selects_the_next_match() {
        Editor e;
        e.open();
        QVERIFY(e.show_active());
        e.trigger("Find");
        auto* find = live_windows<qt::FindWindow>(&e.window).front();
        QTest::keyClicks(child<QLineEdit>(find, "Text2Find"), "turn");
        QTest::mouseClick(child<QPushButton>(find, "Command1"), Qt::LeftButton);
        QCOMPARE(e.control<QListWidget>("List1")->currentRow(), 0);
        QVERIFY(e.show_active());
        QTest::keyClick(&e.window, Qt::Key_F3);
        QCOMPARE(e.control<QListWidget>("List1")->currentRow(), 1);
    }

    void one_window_per_kind_data() {
        QTest::addColumn<bool>("find");
        QTest::newRow("Ctrl+F twice") << true;
        QTest::newRow("Help > About twice") << false;
    }

    void one_window_per_kind() {
        QFETCH(bool, find);
        Editor e;
        for (int i = 0; i < 2; ++i) {
            QVERIFY(e.show_active());
            if (find) {
                QTest::keyClick(&e.window, Qt::Key_F, Qt::ControlModifier);
            } else {
                e.trigger("About");
            }
        }
        const auto windows = live_windows<qt::SecondaryWindow>(&e.window);
        QCOMPARE(windows.size(), 1);
        QCOMPARE(qobject_cast<qt::FindWindow*>(windows.front()) != nullptr, find);
        QVERIFY(windows.front()->isVisible());
    }

    void about_close_button_closes_it() {
        Editor e;
        e.trigger("About");
        auto* about = live_windows<qt::AboutWindow>(&e.window).front();
        QTest::mouseClick(child<QPushButton>(about, "Command1"), Qt::LeftButton);
        QVERIFY(e.form.about_form() == nullptr);
        QVERIFY(live_windows<qt::AboutWindow>(&e.window).isEmpty());
    }

    void typed_screen_name_reaches_the_model_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("unencodable");
        QTest::newRow("Windows-1252 character")
            << QStringLiteral("\u20ac") << QByteArray("\x80") << QString();
        QTest::newRow("character it cannot hold")
            << QStringLiteral("\u4e2d") << QByteArray() << QStringLiteral("\u4e2d");
    }

    void typed_screen_name_reaches_the_model() {
        QFETCH(QString, typed);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, unencodable);
        Editor e;
        e.open();
        auto* edit = e.control<QLineEdit>("screen_name");
        edit->clear();
        type_text(edit, typed);
        QCOMPARE(edit->text(), typed);
        QCOMPARE(QByteArray::fromStdString(e.form.screen_name.text()), bytes);
        const auto& bad = e.form.screen_name.unencodable();
        QCOMPARE(bad ? QString::fromStdString(*bad) : QString(), unencodable);
    }

    void model_focus_request_focuses_the_list() {
        Editor e;
        e.open();
        QVERIFY(e.show_active());
        e.control("screen_name")->setFocus();
        e.form.List1.set_focus();
        e.window.sync();
        QCOMPARE(QApplication::focusWidget(), e.control("List1"));
    }

    void two_thousand_phrases_fill_in_one_go_and_stay_editable() {
        Editor e;
        e.window.show();
        VoicePlan voice;
        voice.phrases.clear();
        for (int k = 1; k <= 2000; ++k) {
            voice.phrases.push_back("Phrase " + std::to_string(k));
        }
        voice.phrases_ahead = 2000;
        auto* list = e.control<QListWidget>("List1");
        int insertions = 0;
        connect(list->model(), &QAbstractItemModel::rowsInserted, [&insertions] { ++insertions; });
        e.open(voice);
        QCOMPARE(list->count(), 2000);
        QCOMPARE(insertions, 1);
        QCOMPARE(list->item(1999)->text(), QStringLiteral(" 2000-Phrase 2000"));

        list->scrollToItem(list->item(1500));
        double_click_row(list, 1500);
        const auto windows = live_windows<qt::Form2Window>(&e.window);
        QCOMPARE(windows.size(), 1);
        QTest::keyClicks(child<QLineEdit>(windows.front(), "new"), "Short");
        QTest::mouseClick(child<QPushButton>(windows.front(), "Command3"), Qt::LeftButton);
        QCOMPARE(list->item(1500)->text(), QStringLiteral(" 1501-Short"));
    }

    void dropped_files_reach_the_program_data() {
        QTest::addColumn<QByteArray>("uri_list"); // "@" stands for the editor's folder
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QByteArray>("opened"); // the file name after the drop
        QTest::newRow("one voice")
            << QByteArray("file://@voice.vpm\r\n") << true << QByteArray("@voice.vpm");
        QTest::newRow("name not UTF-8")
            << QByteArray("file://@caf%E9.vpm\r\n") << true << QByteArray("@caf\xE9.vpm");
        QTest::newRow("two files")
            << QByteArray("file://@voice.vpm\r\nfile://@voice.vpm\r\n") << false << QByteArray();
    }

    void dropped_files_reach_the_program() {
        QFETCH(QByteArray, uri_list);
        QFETCH(bool, accepted);
        QFETCH(QByteArray, opened);
        Editor e;
        const QByteArray folder = QFile::encodeName(e.folder.path()) + '/';
        const std::vector<std::string> files = {(folder + "voice.vpm").toStdString(),
                                                (folder + "caf\xE9.vpm").toStdString()};
        // Qt cannot remove a name that is not UTF-8 with the folder.
        const auto remove_files = qScopeGuard([&files] {
            for (const auto& file : files) {
                std::filesystem::remove(file);
            }
        });
        for (const auto& file : files) {
            write_file(file, build_voice({}).image);
        }
        QMimeData data;
        data.setData(QStringLiteral("text/uri-list"), uri_list.replace('@', folder));
        QVERIFY(!e.control("screen_name")->acceptDrops());

        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction | Qt::MoveAction, &data,
                              Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&e.window, &enter);
        QCOMPARE(enter.isAccepted(), accepted);
        if (!accepted) {
            return;
        }
        QCOMPARE(enter.dropAction(), Qt::CopyAction);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                        Qt::NoModifier);
        QApplication::sendEvent(&e.window, &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(drop.dropAction(), Qt::CopyAction);
        QTRY_COMPARE(QByteArray::fromStdString(e.form.file_name()), opened.replace('@', folder));
        QVERIFY(e.host.messages.empty());
        QCOMPARE(e.control<QListWidget>("List1")->count(), 3);
    }

    void exit_and_close_box_end_the_program_data() {
        QTest::addColumn<bool>("close_box");
        QTest::newRow("File > Exit") << false;
        QTest::newRow("close box") << true;
    }

    void exit_and_close_box_end_the_program() {
        QFETCH(bool, close_box);
        Editor e;
        e.window.show();
        e.trigger("About");
        e.trigger("Find");
        if (close_box) {
            e.window.close();
        } else {
            e.trigger("Exit");
        }
        QVERIFY(e.form.closed());
        QVERIFY(!e.window.isVisible());
        QVERIFY(e.host.messages.empty());
        QVERIFY(live_windows<qt::SecondaryWindow>(&e.window).isEmpty());
    }
};

int run_main_window_tests(int argc, char** argv) {
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace quorvel::test

#include "main_window_test.moc"
